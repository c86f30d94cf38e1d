#include "KestlesCore/keyboard/GlyphWords.hpp"

#include <gtest/gtest.h>

#include <set>

namespace kestles {
namespace {

TEST(GlyphWords, WritesTheGlyphsAFontLacksAsWords) {
  // A font with the arrows and ⇧ but neither ⎋ nor ⌃ nor ⌥.
  const std::set<std::string_view> font{"←", "→", "↑", "↓", "⇧"};
  auto drawable = [&](std::string_view glyph) { return font.contains(glyph); };
  const std::pair<std::string_view, std::string_view> rows[] = {
      {"⎋  Done", "Esc  Done"},    {"⌃⌥←  Move Left", "Ctrl+Alt+←  Move Left"},
      {"⇧⎋ ⎋", "⇧Esc Esc"},        {"←→↑↓  Focus", "←→↑↓  Focus"},
      {"Café ⌘Q", "Café Super+Q"},  // characters that are no key glyph stay
  };
  for (const auto& [text, shown] : rows)
    EXPECT_EQ(withGlyphWords(text, drawable), shown) << text;
  // One arrow missing sends the four shown together to one word.
  auto noLeft = [](std::string_view glyph) { return glyph != "←"; };
  EXPECT_EQ(withGlyphWords("←→↑↓  Swap, ⇧←", noLeft), "Arrows  Swap, ⇧Left");
}

}  // namespace
}  // namespace kestles
