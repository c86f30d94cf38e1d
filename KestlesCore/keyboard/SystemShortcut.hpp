#pragma once

#include <string>
#include <vector>

#include "KestlesCore/keys/KeyCombo.hpp"

namespace kestles {

/// One of the operating system's own keyboard shortcuts (a symbolic hot key), which can
/// clash with the system's shortcuts.
struct SystemShortcut {
  int id = 0;  // the symbolic hot key number
  KeyCombo combo;
  bool isOn = false;

  /// The shortcut's name in the operating system's keyboard settings; "Shortcut " and the
  /// number for one without a known name.
  static std::string title(int id);
  /// One line per shortcut, the combination followed by a space and its title, joined with
  /// line feeds.
  static std::string summary(const std::vector<SystemShortcut>& shortcuts);
  /// The combinations as an English list ("A", "A and B", "A, B, and C"), each once; the
  /// four arrow keys with the same modifiers are shown together as those modifiers and
  /// "←→↑↓", where the first of them stood.
  static std::string combos(const std::vector<SystemShortcut>& shortcuts);

  bool operator==(const SystemShortcut&) const = default;
};

}  // namespace kestles
