#pragma once

#include <optional>
#include <variant>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/keys/KeyCombo.hpp"

namespace kestles {

/// How the panel is called up: a key combination, a double tap of ⌃, or not at all.
/// JSON: {"keys": combination}, {"doubleControl": true} or {"off": true}.
struct PanelTrigger {
  struct DoubleControl {
    bool operator==(const DoubleControl&) const = default;
  };
  struct Off {
    bool operator==(const Off&) const = default;
  };
  // Super+Alt+P: Ctrl+Space is the input methods' key, and Super+Space too on some desktops.
  std::variant<KeyCombo, DoubleControl, Off> value{KeyCombo{35, KeyModifiers{10}}};

  static PanelTrigger keys(KeyCombo combo) { return {combo}; }
  static PanelTrigger doubleControl() { return {DoubleControl{}}; }
  static PanelTrigger off() { return {Off{}}; }

  /// The combination when the trigger is `keys`, else nothing.
  std::optional<KeyCombo> combo() const;

  bool operator==(const PanelTrigger&) const = default;
};

void to_json(nlohmann::json& json, const PanelTrigger& trigger);
/// "keys" gives `keys` (failing when the combination does not decode); else an "off" key
/// gives `off`; else `doubleControl`.
void from_json(const nlohmann::json& json, PanelTrigger& trigger);

}  // namespace kestles
