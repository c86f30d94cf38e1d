#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "KestlesCore/keys/KeyModifiers.hpp"

namespace kestles {

/// A key typed while a keyboard mode holds the keyboard.
struct TypedKey {
  int keyCode = 0;  // the stored (macOS-style) virtual key code
  KeyModifiers modifiers;
  std::string characters;  // what the key types with no modifiers, on the layout in use

  /// A key as a dry run names it: modifiers "Ctrl+", "Alt+", "Shift+", "Super+" before a
  /// letter, digit or punctuation mark, or one of Return, Enter, Tab, Escape, BackSpace,
  /// Delete, Space, Left, Right, Up, Down (case does not matter). Nothing for anything else.
  static std::optional<TypedKey> named(std::string_view name);
  /// Keys named one after another, separated by spaces; nothing when one is not a key.
  static std::optional<std::vector<TypedKey>> sequence(std::string_view names);

  bool operator==(const TypedKey&) const = default;
};

}  // namespace kestles
