#include "KestlesCore/palette/PaletteMode.hpp"

#include <gtest/gtest.h>

namespace kestles {
namespace {

using Plain = PaletteAction::Plain;
using Outcome = PaletteMode::Outcome;

PaletteItem item(Plain action, PaletteSection section, std::string title,
                 std::optional<std::string> detail = std::nullopt) {
  return {{action}, section, std::move(title), std::nullopt, std::move(detail), {}};
}

/// Tile Windows and Tile App Windows under Tiling, Left Half under Snap, Quit under
/// Settings.
PaletteMode fourItems(PaletteRecents recents = {}) {
  return PaletteMode({item(Plain::tileWindows, PaletteSection::tiling, "Tile Windows", "⌃⌥T"),
                      item(Plain::tileAppWindows, PaletteSection::tiling, "Tile App Windows"),
                      item(Plain::toggleFullScreen, PaletteSection::snap, "Left Half"),
                      item(Plain::quit, PaletteSection::settings, "Quit Kestles")},
                     std::move(recents));
}

/// Types the keys one after another; the outcome of the last.
Outcome type(PaletteMode& palette, std::string_view names) {
  auto keys = TypedKey::sequence(names);
  EXPECT_TRUE(keys) << names;
  Outcome last = Outcome::unchanged;
  for (const auto& key : keys.value_or(std::vector<TypedKey>{}))
    last = palette.typed(key);
  return last;
}

std::vector<std::string> rowTexts(const PaletteMode& palette) {
  std::vector<std::string> texts;
  for (const auto& row : palette.shownRows())
    texts.push_back((row.isHeading ? "# " : "") + row.text);
  return texts;
}

TEST(PaletteMode, OpensOnEveryGroupWithTheFirstItemChosen) {
  PaletteRecents recents;
  recents.record({Plain::quit});
  auto palette = fourItems(recents);
  EXPECT_EQ(rowTexts(palette),
            (std::vector<std::string>{"# Recent", "Quit Kestles", "# Tiling", "Tile Windows\t⌃⌥T",
                                      "Tile App Windows", "# Snap", "Left Half", "# Settings",
                                      "Quit Kestles"}));
  EXPECT_EQ(palette.chosenRow(), 1u);
  EXPECT_EQ(palette.chosen()->title, "Quit Kestles");
}

TEST(PaletteMode, TypingNarrowsTheListAndEditingKeysChangeTheText) {
  struct Case {
    std::string_view keys;
    std::string text;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {"t i l e", "tile", {"# Tiling", "Tile Windows\t⌃⌥T", "Tile App Windows"}},
      {"t i l e Space a p p", "tile app", {"# Tiling", "Tile App Windows"}},
      {"Shift+l h", "Lh", {"# Snap", "Left Half"}},
      // Backspace takes back the last character, Ctrl+BackSpace the last word, Ctrl+U all.
      {"l e f t x BackSpace", "left", {"# Snap", "Left Half"}},
      {"t i l e Space a p Ctrl+BackSpace",
       "tile ",
       {"# Tiling", "Tile Windows\t⌃⌥T", "Tile App Windows"}},
      {"q u Ctrl+u", "", rowTexts(fourItems())},
      // Keys held with Ctrl, Alt or Super type nothing.
      {"q Ctrl+a Alt+b Super+c", "q", {"# Settings", "Quit Kestles"}},
  };
  for (const auto& c : cases) {
    auto palette = fourItems();
    type(palette, c.keys);
    EXPECT_EQ(palette.text(), c.text) << c.keys;
    EXPECT_EQ(rowTexts(palette), c.rows) << c.keys;
    EXPECT_EQ(palette.chosenRow(), 1u) << c.keys << ": the best match is chosen";
  }
  // A letter written with a combining mark goes back whole.
  auto palette = fourItems();
  palette.typed({0, {}, "e\xCC\x81"});
  type(palette, "BackSpace");
  EXPECT_EQ(palette.text(), "");
}

TEST(PaletteMode, ReturnChoosesEscapeClosesAndNothingMatchingChoosesNothing) {
  auto palette = fourItems();
  EXPECT_EQ(type(palette, "a p p Return"), Outcome::chosen);
  EXPECT_EQ(palette.chosen()->title, "Tile App Windows");

  auto unmatched = fourItems();
  EXPECT_EQ(type(unmatched, "z z z"), Outcome::changed);
  EXPECT_TRUE(unmatched.nothingMatches());
  EXPECT_EQ(unmatched.chosen(), nullptr);
  EXPECT_EQ(unmatched.chosenRow(), std::nullopt);
  EXPECT_EQ(type(unmatched, "Return"), Outcome::unchanged);
  EXPECT_EQ(type(unmatched, "Down"), Outcome::unchanged);
  EXPECT_EQ(type(unmatched, "Escape"), Outcome::closed);
  EXPECT_EQ(PaletteMode::nothingMatchesSentence("zzz"), "Nothing in the palette matches “zzz”.");
}

TEST(PaletteMode, ArrowsMoveTheChoiceAroundAndTheListScrollsToIt) {
  std::vector<PaletteItem> many;
  for (int i = 0; i < 20; ++i)
    many.push_back(item(Plain::tileWindows, PaletteSection::tiling, "Item " + std::to_string(i)));
  many.push_back(item(Plain::quit, PaletteSection::settings, "Quit Kestles"));
  PaletteMode palette(many, {});
  auto chosenShown = [&] {
    auto row = palette.chosenRow();
    return row && *row < palette.shownRows().size() &&
           palette.shownRows()[*row].text == palette.chosen()->title;
  };

  type(palette, "Down Tab");
  EXPECT_EQ(palette.chosen()->title, "Item 2");
  type(palette, "Shift+Tab");
  EXPECT_EQ(palette.chosen()->title, "Item 1");
  // Up from the first item wraps to the last, at the foot of the list.
  type(palette, "Up Up");
  EXPECT_EQ(palette.chosen()->title, "Quit Kestles");
  EXPECT_TRUE(chosenShown());
  EXPECT_EQ(palette.chosenRow(), PaletteMode::kShownRows - 1);
  EXPECT_EQ(palette.shownRows().size(), PaletteMode::kShownRows);
  // Down from the last wraps to the first, shown under its heading again.
  type(palette, "Down");
  EXPECT_EQ(palette.chosen()->title, "Item 0");
  EXPECT_EQ(palette.shownRows().front().text, "Tiling");
  for (int i = 0; i < 20; ++i) {
    type(palette, "Down");
    EXPECT_TRUE(chosenShown()) << i;
  }
  // Going up again brings the Tiling heading back with the first item.
  for (int i = 0; i < 20; ++i)
    type(palette, "Up");
  EXPECT_EQ(palette.chosen()->title, "Item 0");
  EXPECT_EQ(palette.shownRows().front().text, "Tiling");
}

}  // namespace
}  // namespace kestles
