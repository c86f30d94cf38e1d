#pragma once

#include <optional>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/keys/KeyCombo.hpp"
#include "KestlesCore/snap/SnapAction.hpp"

namespace kestles {

/// The key chosen for a snap place; absent keys mean the place has no key at all.
/// JSON: {"action": raw value, "keys": combination or null}.
struct ShortcutBinding {
  SnapAction action = SnapAction::leftHalf;
  std::optional<KeyCombo> keys;

  bool operator==(const ShortcutBinding&) const = default;
};

void to_json(nlohmann::json& json, const ShortcutBinding& binding);
void from_json(const nlohmann::json& json, ShortcutBinding& binding);

}  // namespace kestles
