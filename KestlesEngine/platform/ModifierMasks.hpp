#pragma once

#include <array>
#include <cstdint>

#include "KestlesCore/keys/KeyModifiers.hpp"

namespace kestles::platform {

/// One modifier key in the platform's three spellings: the core's bit, the hot-key
/// service's (Carbon) mask and the device-independent event flag.
struct ModifierMask {
  int keyModifier;
  std::uint32_t carbon;
  std::uint64_t eventFlag;
};

/// Control's device-independent event flag, alone the mark of a Control press.
inline constexpr std::uint64_t kControlEventFlag = 0x40000;

/// The four modifiers a shortcut can hold, in the core's glyph order ⌃ ⌥ ⇧ ⌘.
inline constexpr std::array<ModifierMask, 4> kModifierMasks{{
    {KeyModifiers::control, 0x1000, kControlEventFlag},
    {KeyModifiers::option, 0x800, 0x80000},
    {KeyModifiers::shift, 0x200, 0x20000},
    {KeyModifiers::command, 0x100, 0x100000},
}};

/// The hot-key service's mask for the core's modifiers (what `HotKeys` registers).
std::uint32_t carbonModifiers(KeyModifiers modifiers);
/// The core's modifiers in a hot-key service mask; other bits are ignored.
KeyModifiers keyModifiersFromCarbon(std::uint32_t mask);
/// The core's modifiers in device-independent event flags; other bits are ignored.
KeyModifiers keyModifiersFromFlags(std::uint64_t flags);

}  // namespace kestles::platform
