#pragma once

#include <array>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/keys/KeyCombo.hpp"
#include "KestlesCore/keys/ShortcutBinding.hpp"
#include "KestlesCore/layout/Gaps.hpp"
#include "KestlesCore/settings/CommandBinding.hpp"
#include "KestlesCore/settings/PanelTrigger.hpp"
#include "KestlesCore/settings/ShortcutUse.hpp"
#include "KestlesCore/tiling/TileChanges.hpp"
#include "KestlesCore/tiling/TilingStyle.hpp"
#include "KestlesCore/world/AppRef.hpp"

namespace kestles {

/// The user's preferences, kept inside the library. Every field has a default and is
/// decoded on its own: a value that does not decode keeps the default.
struct Settings {
  Gaps gaps;
  TilingStyle tilingStyle = TilingStyle::grid;
  TileChanges tileChanges = TileChanges::rearrange;
  PanelTrigger panelTrigger;
  KeyModifiers kestleModifiers{KeyModifiers::command};
  KeyModifiers layoutModifiers{KeyModifiers::command | KeyModifiers::option};
  std::vector<CommandBinding> commandShortcuts;
  bool snapKeysEnabled = true;
  std::vector<ShortcutBinding> shortcuts;
  bool snapFlashEnabled = true;
  bool dragToZonesEnabled = true;
  bool edgeZonesEnabled = true;
  bool resizesNeighbours = true;
  bool restoresSizeOnDragOut = true;
  bool adaptsToDisplays = true;
  bool rulesEnabled = true;
  bool tilesComeBack = true;
  bool showsUndoToast = true;
  bool showsTips = true;
  bool assistantEnabled = true;
  bool takesSystemShortcuts = false;
  std::set<std::string> keptTiled;
  std::vector<AppRef> floatingApps;

  /// A command's key: its binding's keys if it has a binding, else its default key unless
  /// the user gave that combination to something else.
  std::optional<KeyCombo> keys(KeyCommand command) const;
  /// A snap place's key: its binding's keys if it has one, else its default snap key.
  std::optional<KeyCombo> keys(SnapAction action) const;
  /// Every combination of a use: one or none for a command, a snap place or the panel,
  /// the nine digit keys with the right modifiers for `kestles` and `layouts`.
  std::vector<KeyCombo> keys(const ShortcutUse& use) const;

  /// Gives a command a key (or none). The default key stores no binding; anything else
  /// replaces the command's earlier binding.
  void setKeys(KeyCommand command, std::optional<KeyCombo> combo);
  /// The same for a snap place and its default snap key.
  void setKeys(SnapAction action, std::optional<KeyCombo> combo);

  /// Records a combination for a use. Commands and snap places take it from whoever had it;
  /// the panel likewise. For `kestles` and `layouts` the combination must be a digit key
  /// 1 to 9 and sets their modifiers. Refusals change nothing.
  RecordResult record(const KeyCombo& combo, const ShortcutUse& use);

  /// The use a combination is reserved for (the panel's keys, the kestle and layout digit
  /// keys), or nothing.
  std::optional<ShortcutUse> reservedUse(const KeyCombo& combo) const;

  /// The one-time upgrade of settings from libraries older than version 3.
  void migrate();
  /// The one-time move of libraries older than version 4 to the Super-based defaults: the
  /// panel key, the kestle and the layout modifiers that still hold the former defaults
  /// (stored verbatim, so not a choice) take today's; everything else stays as stored.
  void adoptSuperKeys();

  bool operator==(const Settings&) const = default;

 private:
  RecordResult recordDigitKeys(const KeyCombo& combo, bool forKestles);
  std::optional<KeyCombo> unlessTaken(std::optional<KeyCombo> fallback) const;
};

/// The default key of a command, from the one table of default keys, or nothing.
std::optional<KeyCombo> defaultKeys(KeyCommand command);
/// The default key of a snap place, or nothing.
std::optional<KeyCombo> defaultKeys(SnapAction action);

/// The digit keys 1 to 9 (key codes 18, 19, 20, 21, 23, 22, 26, 28, 25).
inline constexpr std::array<int, 9> kDigitKeyCodes{18, 19, 20, 21, 23, 22, 26, 28, 25};

/// The nine digit-key combinations with the given modifiers, 1 first.
std::vector<KeyCombo> digitKeys(KeyModifiers modifiers);

void to_json(nlohmann::json& json, const Settings& settings);
/// Never fails on an object: each field falls back to its default on its own.
void from_json(const nlohmann::json& json, Settings& settings);

}  // namespace kestles
