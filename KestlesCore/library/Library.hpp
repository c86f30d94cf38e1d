#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/layout/LayoutRef.hpp"
#include "KestlesCore/library/DisplayRule.hpp"
#include "KestlesCore/library/Kestle.hpp"
#include "KestlesCore/library/SavedLayout.hpp"
#include "KestlesCore/settings/Settings.hpp"

namespace kestles {

/// A user's whole library: kestles and saved layouts in the user's order, display rules,
/// what is current, and the settings. Kept in "library.json".
struct Library {
  /// The format version written today.
  static constexpr int kCurrentVersion = 4;

  int version = kCurrentVersion;
  std::vector<Kestle> kestles;
  std::vector<SavedLayout> layouts;
  std::vector<DisplayRule> rules;
  std::optional<UUID> currentKestleID;
  std::map<std::string, LayoutRef> currentLayouts;  // by display id
  Settings settings;

  /// What removing a kestle gives back, so that it can be put back.
  struct Removal {
    Kestle kestle;
    std::size_t index = 0;
    bool wasCurrent = false;
  };

  /// What removing a saved layout gives back, so that it can be put back.
  struct LayoutRemoval {
    SavedLayout layout;
    std::size_t index = 0;
    std::map<std::string, LayoutRef> currentLayouts;  // the entries that pointed at it
  };

  // Kestles.

  /// The kestle with the id, or null.
  const Kestle* kestle(const UUID& id) const;
  /// The kestle whose id is `currentKestleID`, or null.
  const Kestle* currentKestle() const;
  /// The name, or the name with " 2", " 3"… when another kestle (other than `except`)
  /// already has it, compared lower-cased.
  std::string uniqueKestleName(std::string_view name,
                               const std::optional<UUID>& except = std::nullopt) const;
  /// Appends a kestle with a unique name; a number held by another kestle is cleared.
  /// Returns the kestle as added.
  const Kestle& addKestle(Kestle kestle);
  /// Inserts a copy right after the original: a new id, the unique name "<name> copy",
  /// no number, created now. Nothing when there is no such kestle.
  std::optional<Kestle> duplicateKestle(const UUID& id);
  /// Replaces the kestle with the same id in place; false when there is none.
  bool updateKestle(const Kestle& kestle);
  /// Renames a kestle, made unique against the others; false when there is none.
  bool renameKestle(const UUID& id, std::string_view name);
  /// Gives the kestle the number (or takes it away); any other kestle with that number
  /// loses it.
  void numberKestle(const UUID& id, std::optional<int> number);
  /// Removes a kestle; a removed current kestle leaves none current.
  std::optional<Removal> removeKestle(const UUID& id);
  /// Puts a removed kestle back at its place (or at the end) and current again if it was.
  void restoreKestle(const Removal& removal);
  /// Moves a kestle to a position (clamped to the list); false when there is none.
  bool moveKestle(const UUID& id, std::size_t toIndex);
  /// The kestle `step` places after the current one in the user's order, wrapping round;
  /// with none current, the first (forward) or last (backward). Nothing when empty.
  std::optional<UUID> kestleAfterCurrent(int step) const;

  // Saved layouts.

  /// The saved layout with the id, or null.
  const SavedLayout* layout(const UUID& id) const;
  /// The layout-name counterpart of `uniqueKestleName`.
  std::string uniqueLayoutName(std::string_view name,
                               const std::optional<UUID>& except = std::nullopt) const;
  /// Appends a layout with a unique name; a number held by another layout is cleared.
  const SavedLayout& addLayout(SavedLayout layout);
  /// Replaces the layout with the same id in place; false when there is none.
  bool updateLayout(const SavedLayout& layout);
  /// Renames a layout, made unique against the others; false when there is none.
  bool renameLayout(const UUID& id, std::string_view name);
  /// Gives the layout the number (or takes it away); any other layout loses that number.
  void numberLayout(const UUID& id, std::optional<int> number);
  /// Removes a layout and the current-layout entries that named it.
  std::optional<LayoutRemoval> removeLayout(const UUID& id);
  /// Puts a removed layout back with the current-layout entries it had.
  void restoreLayout(const LayoutRemoval& removal);
  /// Moves a layout to a position (clamped to the list); false when there is none.
  bool moveLayout(const UUID& id, std::size_t toIndex);

  // Rules and current layouts.

  /// Sets the rule for the rule's display id, replacing an earlier one for that display.
  void setRule(const DisplayRule& rule);
  /// Removes the rule of a display id; false when there is none.
  bool removeRule(std::string_view displayID);
  /// Records a display's current layout, or clears it.
  void setCurrentLayout(const std::string& displayID, const std::optional<LayoutRef>& layout);

  /// Upgrades an older library: settings migrated (before version 3) and moved to the Super
  /// keys (before version 4), version set to the current one.
  void migrate();

  bool operator==(const Library&) const = default;
};

/// The unique form of a name among `taken` names: the name itself, else with " 2", " 3"…
/// compared lower-cased.
std::string uniqueName(std::string_view name, const std::vector<std::string>& taken);

/// The same rule over any store of names: `isTaken` gets each lower-cased candidate.
std::string uniqueName(std::string_view name,
                       const std::function<bool(const std::string& lowered)>& isTaken);

/// The record lists that libraries and archives share.
struct RecordLists {
  std::vector<Kestle>& kestles;
  std::vector<SavedLayout>& layouts;
  std::vector<DisplayRule>& rules;
};

/// Parses a library or archive document, decoding the items of its "kestles", "layouts"
/// and "rules" lists into `lists` as soon as each is parsed (damaged items are dropped);
/// returns the rest of the document. Throws like `json_style::parse`.
nlohmann::json parseWithRecordLists(std::string_view bytes, RecordLists lists);

/// Reads a library file's bytes, decoding each kestle, layout and rule as soon as it is
/// parsed; the same result as decoding the whole parsed document. Throws like `from_json`.
Library decodeDocument(std::string_view bytes, std::type_identity<Library>);

void to_json(nlohmann::json& json, const Library& library);
/// Lists and maps are lossy; an older version is migrated; a current kestle id that names
/// no kestle is cleared.
void from_json(const nlohmann::json& json, Library& library);

}  // namespace kestles
