#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "KestlesCore/keyboard/SystemShortcut.hpp"
#include "KestlesCore/settings/Settings.hpp"
#include "KestlesCore/settings/ShortcutUse.hpp"

namespace kestles {

/// An operating-system shortcut that is on and has the combination of one of the system's
/// own shortcut uses.
struct ShortcutClash {
  SystemShortcut system;
  ShortcutUse use;

  /// For every system shortcut that is on, the use of its combination in the settings, if
  /// any: a command, a snap place (only while snap keys are enabled), the panel, the kestle
  /// keys or the layout keys, looked up in that order.
  static std::vector<ShortcutClash> clashes(const std::vector<SystemShortcut>& shortcuts,
                                            const Settings& settings);

  bool operator==(const ShortcutClash&) const = default;
};

}  // namespace kestles

template <>
struct std::hash<kestles::ShortcutClash> {
  std::size_t operator()(const kestles::ShortcutClash& clash) const noexcept;
};
