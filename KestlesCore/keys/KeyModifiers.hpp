#pragma once

#include <string>

#include <nlohmann/json_fwd.hpp>

namespace kestles {

/// A set of modifier keys. Bits: 1 control, 2 option, 4 shift, 8 command; in JSON the
/// bare integer.
struct KeyModifiers {
  int rawValue = 0;

  static constexpr int control = 1;
  static constexpr int option = 2;
  static constexpr int shift = 4;
  static constexpr int command = 8;

  /// Whether every bit of `bits` is set.
  bool contains(int bits) const { return (rawValue & bits) == bits; }
  /// The glyphs of the set bits, always in the order ⌃ ⌥ ⇧ ⌘; empty for none.
  std::string glyphs() const;

  bool operator==(const KeyModifiers&) const = default;
};

/// The bare integer.
void to_json(nlohmann::json& json, const KeyModifiers& modifiers);
void from_json(const nlohmann::json& json, KeyModifiers& modifiers);

}  // namespace kestles
