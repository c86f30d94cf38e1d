#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <optional>
#include <span>

#include "KestlesCore/keys/KeyModifiers.hpp"

namespace kestles::x11 {

/// One key of the fixed table between the stored (macOS-style) virtual key codes and X
/// keysyms; the modifier keys also carry their device-independent event flag.
struct KeyTableRow {
  std::uint16_t keyCode;
  std::uint32_t keysym;
  std::uint64_t modifierFlag = 0;  // 0: not a modifier key
};

/// Every row, in key-code order. The stored codes name positions on an ANSI keyboard; the
/// keysym is what that position types on a US layout.
std::span<const KeyTableRow> keyTable();

/// The keysym of a stored key code; nothing for a code the table lacks.
std::optional<std::uint32_t> keysymForKeyCode(std::uint32_t keyCode);
/// The row of a keysym (for the modifier keys: its key code and flag); nothing when absent.
std::optional<KeyTableRow> rowForKeysym(std::uint32_t keysym);

/// The X modifier mask of the core's modifiers: ⌃ Control, ⌥ Mod1 (Alt), ⇧ Shift,
/// ⌘ Mod4 (Super). Fixed, whatever keys the server maps to Mod1 and Mod4.
std::uint16_t xModifierMask(KeyModifiers modifiers);
/// The X modifiers that stand for the core's four; a grab matches on these alone.
std::uint16_t shortcutModifierMask();

}  // namespace kestles::x11
