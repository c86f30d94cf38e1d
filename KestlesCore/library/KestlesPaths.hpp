#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace kestles {

/// Where the library and its companion files live, and the user's base folders that
/// every part of the system finds through here.
struct KestlesPaths {
  /// $HOME when set, else the home folder of the password database, else "/".
  static std::filesystem::path homeFolder();
  /// The XDG base folder named by the variable when it holds an absolute path; nothing when
  /// it is unset, empty or relative (the XDG rules say a relative one is to be ignored).
  static std::optional<std::filesystem::path> xdgFolder(const char* variable);
  /// $XDG_DATA_HOME, default ~/.local/share.
  static std::filesystem::path dataHome();
  /// $XDG_CONFIG_HOME, default ~/.config.
  static std::filesystem::path configHome();
  /// $XDG_STATE_HOME, default ~/.local/state.
  static std::filesystem::path stateHome();
  /// What the running app keeps between runs (tilings, undo history): stateHome()/kestles/
  /// state.json.
  static std::filesystem::path sessionState() { return stateHome() / "kestles" / "state.json"; }
  /// The running app's log file when no journal takes it: stateHome()/kestles/app.log.
  static std::filesystem::path appLog() { return stateHome() / "kestles" / "app.log"; }

  /// The data folder: dataHome()/kestles.
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
