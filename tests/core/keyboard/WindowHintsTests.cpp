#include "KestlesCore/keyboard/WindowHints.hpp"

#include <gtest/gtest.h>

#include "KeyboardTestSupport.hpp"

namespace kestles {
namespace {

using keyboard_testing::window;
using keyboard_testing::worldOf;

std::string lettersOf(const std::vector<WindowHints::Hint>& hints) {
  std::string letters;
  for (const auto& hint : hints)
    letters += hint.letter;
  return letters;
}

TEST(WindowHintsTests, LettersComeFromAppNamesThenTheHomeRow) {
  struct Case {
    const char* name;
    std::vector<std::string> apps;  // front to back, one window each
    std::string letters;
  };
  const Case cases[] = {
      {"first free letter of each name", {"Safari", "Slack", "Signal"}, "SLI"},
      {"case and non-letters ignored", {"iTerm2", "1Password", "über"}, "IPB"},
      {"no ASCII letter: home row", {"微信", "Écrire"}, "AC"},
      {"every letter of the name taken", {"Aa", "A", "S"}, "ASD"},
  };
  for (const auto& c : cases) {
    std::vector<WindowSnapshot> windows;
    // Side by side, so that nothing is covered.
    for (std::size_t i = 0; i < c.apps.size(); ++i)
      windows.push_back(window(static_cast<std::uint32_t>(i + 1), c.apps[i],
                               {400.0 * static_cast<double>(i), 100, 300, 300}));
    EXPECT_EQ(lettersOf(WindowHints::hints(worldOf(windows))), c.letters) << c.name;
  }
}

TEST(WindowHintsTests, CoveredWindowsAndNarrowStripsGetNoLetter) {
  auto front = window(1, "Front", {100, 100, 600, 400});
  auto covered = window(2, "Covered", {200, 200, 300, 200});
  // Shows only a strip 50 points wide to the right of the front window.
  auto strip = window(3, "Strip", {100, 100, 650, 400});
  // Shows a 50-point band below the front window and a wider piece to its right.
  auto corner = window(4, "Corner", {400, 300, 700, 250});
  auto hints = WindowHints::hints(worldOf({front, covered, strip, corner}));
  ASSERT_EQ(hints.size(), 2u);
  EXPECT_EQ(hints[0].window, 1u);
  EXPECT_EQ(hints[0].anchor, (CGPoint{400, 300}));
  EXPECT_EQ(hints[1].window, 4u);
  // The largest piece is right of the front window: x 750..1100 (the strip ends at 750),
  // y 300..500.
  EXPECT_EQ(hints[1].anchor, (CGPoint{925, 400}));
  EXPECT_EQ(hints[1].letter, 'C');
}

TEST(WindowHintsTests, AnchorIsTheRoundedCentreOnTheVisibleFrame) {
  // Reaches above the menu bar and off the right of the display.
  auto hints = WindowHints::hints(worldOf({window(1, "Mail", {1301, 0, 400, 400})}));
  ASSERT_EQ(hints.size(), 1u);
  // On screen: x 1301..1440, y 25..400; the centre (1370.5, 212.5) rounds away from zero.
  EXPECT_EQ(hints[0].anchor, (CGPoint{1371, 213}));
  EXPECT_EQ(hints[0].displayID, "L");
  EXPECT_EQ(hints[0].appName, "Mail");
  EXPECT_EQ(hints[0].title, "Window 1");
}

TEST(WindowHintsTests, OnlyTwentySixWindowsFrontmostFirst) {
  std::vector<WindowSnapshot> windows;
  for (std::uint32_t i = 0; i < 30; ++i)
    windows.push_back(window(
        i + 1, "",
        {static_cast<double>(i % 10) * 140, 25 + static_cast<double>(i / 10) * 250, 130, 200}));
  auto hints = WindowHints::hints(worldOf(windows));
  ASSERT_EQ(hints.size(), 26u);
  EXPECT_EQ(lettersOf(hints), std::string(WindowHints::letters));
  EXPECT_EQ(hints.back().window, 26u);
}

TEST(WindowHintsTests, LeftOutWindowsStillCoverTheOnesBehind) {
  auto front = window(1, "Front", {100, 100, 600, 400});
  auto behind = window(2, "Behind", {100, 100, 600, 400});
  auto minimized = window(3, "Minimized", {0, 25, 1440, 875});
  minimized.isMinimized = true;
  auto free = window(4, "Free", {800, 100, 300, 300});
  auto world = worldOf({minimized, front, behind, free});

  // The front window is excepted: the one behind it is still out of sight.
  auto excepted = WindowHints::hints(world, 1u);
  ASSERT_EQ(excepted.size(), 1u);
  EXPECT_EQ(excepted[0].window, 4u);
  EXPECT_EQ(excepted[0].letter, 'F');

  auto filtered =
      WindowHints::hints(world, std::nullopt, [](const auto& w) { return w.appName != "Free"; });
  ASSERT_EQ(filtered.size(), 1u);
  EXPECT_EQ(filtered[0].window, 1u);

  world.apps = {{1, "app.Front", "Front", true}};  // hidden app
  EXPECT_EQ(lettersOf(WindowHints::hints(world)), "BF");
}

}  // namespace
}  // namespace kestles
