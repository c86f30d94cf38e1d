#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/keys/KeyCode.hpp"
#include "KestlesCore/keys/KeyModifiers.hpp"

namespace kestles {

/// A key together with its modifiers. JSON: {"keyCode": int, "modifiers": int}.
struct KeyCombo {
  int keyCode = 0;
  KeyModifiers modifiers;

  /// The modifier glyphs followed by the key label ("⌃⌥←").
  std::string description() const;
  KeyCode key() const { return KeyCode{keyCode}; }

  bool operator==(const KeyCombo&) const = default;
};

void to_json(nlohmann::json& json, const KeyCombo& combo);
void from_json(const nlohmann::json& json, KeyCombo& combo);

}  // namespace kestles

template <>
struct std::hash<kestles::KeyCombo> {
  std::size_t operator()(const kestles::KeyCombo& combo) const noexcept {
    return std::hash<long long>()((static_cast<long long>(combo.keyCode) << 8) ^
                                  combo.modifiers.rawValue);
  }
};
