#include "KestlesCore/keyboard/GlyphWords.hpp"

#include <array>
#include <utility>

namespace kestles {
namespace {

/// The key glyphs the modes show and their words, as Linux names the keys. The arrows
/// shown together come first, so that they read as one word rather than four run together.
constexpr std::array<std::pair<std::string_view, std::string_view>, 21> kWords{{
    {"←→↑↓", "Arrows"}, {"⎋", "Esc"},       {"↩", "Return"}, {"⏎", "Return"}, {"⌤", "Enter"},
    {"⇥", "Tab"},       {"⌫", "Backspace"}, {"⌦", "Delete"}, {"␣", "Space"},  {"⇞", "Page Up"},
    {"⇟", "Page Down"}, {"↖", "Home"},      {"↘", "End"},    {"⇧", "Shift+"}, {"⌃", "Ctrl+"},
    {"⌥", "Alt+"},      {"⌘", "Super+"},    {"←", "Left"},   {"→", "Right"},  {"↑", "Up"},
    {"↓", "Down"},
}};

}  // namespace

std::string withGlyphWords(std::string_view text,
                           const std::function<bool(std::string_view glyph)>& drawable) {
  std::string result(text);
  for (const auto& [glyph, word] : kWords) {
    auto at = result.find(glyph);
    if (at == std::string::npos) continue;
    // A run of glyphs is asked about whole: one missing glyph sends it to words.
    bool shown = true;
    for (std::size_t i = 0; i < glyph.size();) {
      auto length = std::size_t{1};
      while (i + length < glyph.size() &&
             (static_cast<unsigned char>(glyph[i + length]) & 0xC0) == 0x80)
        ++length;
      shown = shown && drawable(glyph.substr(i, length));
      i += length;
    }
    if (shown) continue;
    for (; at != std::string::npos; at = result.find(glyph, at + word.size()))
      result.replace(at, glyph.size(), word);
  }
  return result;
}

}  // namespace kestles
