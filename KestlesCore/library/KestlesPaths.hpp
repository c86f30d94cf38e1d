#pragma once

#include <filesystem>
#include <string_view>

namespace kestles {

/// Where the library and its companion files live.
struct KestlesPaths {
  /// $XDG_DATA_HOME/kestles when that is an absolute path, else ~/.local/share/kestles.
  static std::filesystem::path dataFolder();
  /// A file or folder in the data folder by name.
  static std::filesystem::path file(std::string_view name);
  /// The library file, "library.json".
  static std::filesystem::path library() { return file("library.json"); }
  /// The learned window sizes, "minimums.json".
  static std::filesystem::path learnedSizes() { return file("minimums.json"); }
  /// The folder that earlier-version files are moved into, "Kestles 1".
  static std::filesystem::path earlierVersionFolder() { return file("Kestles 1"); }

  /// Moves "kestles.json", "ledger.json" and "Snapshots" from the data folder into the
  /// earlier-version folder, adding " 2", " 3"… before the extension when a name is taken
  /// there. Nothing is read; returns how many items were moved. Throws on a file-system
  /// error.
  static int moveEarlierVersionFiles(const std::filesystem::path& dataFolder);
};

}  // namespace kestles
