#pragma once

#include <string>

#include <nlohmann/json_fwd.hpp>

namespace kestles {

/// A physical key by its macOS virtual key code (ANSI layout names).
struct KeyCode {
  int rawValue = 0;

  /// The key's label: a letter, digit or punctuation mark, a glyph or word for a special
  /// key, else "Key " and the decimal code.
  std::string label() const;
  /// Whether the key is one of the special keys (return, tab, arrows, function keys…).
  bool isSpecial() const;

  bool operator==(const KeyCode&) const = default;
};

/// The bare integer.
void to_json(nlohmann::json& json, const KeyCode& code);
void from_json(const nlohmann::json& json, KeyCode& code);

}  // namespace kestles
