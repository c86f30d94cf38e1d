#pragma once

#include <string>
#include <string_view>

#include "KestlesCore/keys/KeyCombo.hpp"

/// Text forms derived from key labels: the typed form of legends and the spoken form read
/// to assistive technology.
namespace kestles::KeyLabel {

/// Leading modifier glyphs kept, a glyph key replaced by its word ("⌘Space" → "⌘ space"
/// with a thin space); a label whose key has no word is returned unchanged.
std::string typed(std::string_view label);

/// The display title of a key word ("esc" → "Escape"); other words are returned unchanged.
std::string title(std::string_view word);

/// The text as words for accessibility, joined with single spaces ("⌃⌥←" → "Control
/// Option Left Arrow"; "←→↑↓" → "Arrow keys"; "1–9" → "1 to 9").
std::string spoken(std::string_view text);

/// A combination as Linux users write it: the modifiers Super, Ctrl, Alt and Shift in that
/// order, then the key, joined by "+" ("Super+Alt+Left", "Ctrl+Return"). Stored key codes
/// keep their numbers; only what users read changes.
std::string written(const KeyCombo& combo);

/// The modifiers alone, written the same way ("Super+Alt"); empty for none.
std::string written(KeyModifiers modifiers);

/// A key alone as Linux users name it ("Left", "Return", "Backspace", "A").
std::string written(KeyCode key);

}  // namespace kestles::KeyLabel
