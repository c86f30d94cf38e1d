#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/archive/ImportSummary.hpp"
#include "KestlesCore/library/Library.hpp"

namespace kestles {

/// Which parts of an archive to bring in; an option set over its raw value.
struct ImportParts {
  int rawValue = 0;

  static constexpr int kestles = 1;
  static constexpr int layouts = 2;
  static constexpr int rules = 4;
  static constexpr int settings = 8;
  static constexpr int all = 15;

  bool contains(int part) const { return (rawValue & part) == part; }
  bool operator==(const ImportParts&) const = default;
};

/// A library, or part of one, as it travels in a ".kestles" file.
struct KestlesArchive {
  static constexpr int kCurrentVersion = 1;
  static constexpr std::string_view kTypeIdentifier = "co.quillmoss.kestles.archive";
  static constexpr std::string_view kExtension = "kestles";
  /// The file name offered for a whole-library export.
  static constexpr std::string_view kSuggestedName = "Kestles Library";

  int archiveVersion = kCurrentVersion;
  std::optional<Date> exported;
  std::vector<Kestle> kestles;
  std::vector<SavedLayout> layouts;
  std::vector<DisplayRule> rules;
  std::optional<Settings> settings;

  /// The whole library: kestles, layouts, rules and settings, exported now.
  static KestlesArchive ofLibrary(const Library& library, Date now = Date::now());
  /// One kestle with the saved layouts its screens refer to, in library order.
  static KestlesArchive ofKestle(const Kestle& kestle, const Library& library,
                                 Date now = Date::now());

  /// No kestles, no layouts, no rules and no settings.
  bool isEmpty() const;

  /// The bytes in the shared file style; throws on text that cannot be encoded.
  std::string encoded() const;
  /// Reads an archive from bytes; throws when they are not one.
  static KestlesArchive decoded(std::string_view bytes);

  /// Merges the chosen parts into the library, in the order layouts, kestles, rules,
  /// settings, and says what changed. Items with a known id replace the library's in
  /// place (or change nothing when equal); names are made unique and taken numbers
  /// cleared.
  ImportSummary importInto(Library& library, ImportParts parts) const;

  /// The file a typed path names: "~" expanded, relative to `folder`, ".kestles" added
  /// when the name has no extension, normalized. A path that comes down to the root ("/",
  /// "/..") stays the root, which names no file.
  static std::filesystem::path filePath(std::string_view typed, const std::filesystem::path& folder,
                                        const std::filesystem::path& home);

  bool operator==(const KestlesArchive&) const = default;
};

void to_json(nlohmann::json& json, const KestlesArchive& archive);
/// Every field optional; lists are lossy. Fails only on something that is not an object.
void from_json(const nlohmann::json& json, KestlesArchive& archive);

}  // namespace kestles
