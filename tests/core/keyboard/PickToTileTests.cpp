#include "KestlesCore/keyboard/PickToTile.hpp"

#include <gtest/gtest.h>

#include "KestlesCore/apply/ApplyPlan.hpp"
#include "KestlesCore/keyboard/WindowChoice.hpp"
#include "KeyboardTestSupport.hpp"

namespace kestles {
namespace {

using keyboard_testing::external;
using keyboard_testing::laptop;
using keyboard_testing::window;
using keyboard_testing::worldOf;
using IDs = std::vector<std::uint32_t>;
using Outcome = PickToTile::Outcome;
using Key = PickToTile::Key;

/// Windows side by side in a grid of 5 columns, none covered.
World worldOfApps(const std::vector<std::string>& apps) {
  std::vector<WindowSnapshot> windows;
  for (std::size_t i = 0; i < apps.size(); ++i)
    windows.push_back(window(
        static_cast<std::uint32_t>(i + 1), apps[i],
        {static_cast<double>(i % 5) * 280, 30 + static_cast<double>(i / 5) * 300, 250, 250}));
  return worldOf(windows, {laptop(), external()});
}

/// The mode after the keys, each of which must be taken.
PickToTile after(const World& world, const std::vector<Key>& keys) {
  auto mode = PickToTile::open(world);
  for (const auto& key : keys)
    EXPECT_EQ(mode.handle(key, world), Outcome::changed);
  return mode;
}

TEST(PickToTileTests, LettersToggleWindowsInPickOrder) {
  auto world = worldOfApps({"Mail", "Notes", "Safari", "Xcode", "Mail"});
  struct Case {
    const char* name;
    std::vector<Key> keys;
    IDs picked;
    std::string title;
  };
  const Case cases[] = {
      {"none", {}, {}, "Picked Windows"},
      {"one", {Key::letter("m")}, {1}, "Mail"},
      {"three apps",
       {Key::letter("S"), Key::letter("M"), Key::letter("N")},
       {3, 1, 2},
       "Safari + Mail + Notes"},
      {"same app twice", {Key::letter("M"), Key::letter("A")}, {1, 5}, "Mail"},
      {"five windows of four apps",
       {Key::letter("M"), Key::letter("N"), Key::letter("S"), Key::letter("X"), Key::letter("A")},
       {1, 2, 3, 4, 5},
       "Mail + Notes + 2 More"},
      {"again unpicks", {Key::letter("M"), Key::letter("N"), Key::letter("M")}, {2}, "Notes"},
      {"unpick last", {Key::letter("M"), Key::letter("N"), Key::unpickLast()}, {1}, "Mail"},
      {"rotate on",
       {Key::letter("M"), Key::letter("N"), Key::letter("S"), Key::rotate(false)},
       {3, 1, 2},
       "Safari + Mail + Notes"},
      {"rotate back",
       {Key::letter("M"), Key::letter("N"), Key::letter("S"), Key::rotate(true)},
       {2, 3, 1},
       "Notes + Safari + Mail"},
  };
  for (const auto& c : cases) {
    auto mode = after(world, c.keys);
    EXPECT_EQ(mode.picked, c.picked) << c.name;
    EXPECT_EQ(mode.title(), c.title) << c.name;
  }
}

TEST(PickToTileTests, RefusedKeysChangeNothing) {
  auto world = worldOfApps({"", "", "", "", "", "", "", "", "", ""});
  auto nine = after(world, {Key::letter("A"), Key::letter("S"), Key::letter("D"), Key::letter("F"),
                            Key::letter("G"), Key::letter("H"), Key::letter("J"), Key::letter("K"),
                            Key::letter("L")});
  auto one = after(world, {Key::letter("A")});
  auto none = PickToTile::open(world);
  struct Case {
    const char* name;
    PickToTile mode;
    Key key;
  };
  const Case cases[] = {
      {"a tenth window", nine, Key::letter("Q")},
      {"a letter no window has", none, Key::letter("B")},
      {"more than one character", none, Key::letter("AS")},
      {"rotating one window", one, Key::rotate(false)},
      {"unpicking nothing", none, Key::unpickLast()},
      {"arranging nothing", none, Key::arrange()},
      {"tiling nothing", none, Key::tile()},
      {"a display not connected", one, Key::display(3)},
      {"next while picking", one, Key::next()},
      {"back while picking", one, Key::back()},
  };
  for (const auto& c : cases) {
    auto mode = c.mode;
    EXPECT_EQ(mode.handle(c.key, world), Outcome::refused) << c.name;
    EXPECT_EQ(mode, c.mode) << c.name;
  }
  // Unpicking makes room again.
  auto room = nine;
  EXPECT_EQ(room.handle(Key::letter("A"), world), Outcome::changed);
  EXPECT_EQ(room.handle(Key::letter("Q"), world), Outcome::changed);
  EXPECT_EQ(room.picked.back(), 10u);
}

TEST(PickToTileTests, ChoosingHowToTileThenTiling) {
  auto world = worldOfApps({"Mail", "Notes", "Safari"});
  auto mode = after(world, {Key::letter("N"), Key::letter("M"), Key::arrange()});
  ASSERT_EQ(mode.stage, PickToTile::Stage::choosing);
  ASSERT_GE(mode.choices.size(), 3u);
  EXPECT_EQ(mode.choices.front().name, "Grid");
  EXPECT_EQ(mode.choices.back().name, "Fill");
  for (std::size_t i = 0; i < mode.choices.size(); ++i) {
    EXPECT_EQ(mode.choices[i].shape.tileCount(), 2u) << mode.choices[i].name;
    for (std::size_t j = 0; j < i; ++j)
      EXPECT_NE(mode.choices[i].shape, mode.choices[j].shape) << mode.choices[i].name;
  }
  for (const auto& tile : *mode.choices.back().shape.drawnTiles())
    EXPECT_EQ(tile.unit, (CGRect{0, 0, 1, 1}));

  int count = static_cast<int>(mode.choices.size());
  EXPECT_EQ(mode.handle(Key::letter("S"), world), Outcome::refused);
  EXPECT_EQ(mode.handle(Key::previous(), world), Outcome::changed);
  EXPECT_EQ(mode.chosen, count - 1);  // wraps to the last
  EXPECT_EQ(mode.handle(Key::next(), world), Outcome::changed);
  EXPECT_EQ(mode.chosen, 0);
  EXPECT_EQ(mode.handle(Key::choose(count + 1), world), Outcome::refused);
  EXPECT_EQ(mode.handle(Key::choose(count), world), Outcome::changed);
  EXPECT_EQ(mode.handle(Key::display(2), world), Outcome::changed);
  EXPECT_EQ(mode.displayID, "E");
  EXPECT_EQ(mode.choices[mode.chosen].name, "Fill");  // kept across the display change

  EXPECT_EQ(mode.handle(Key::tile(), world), Outcome::tile);
  auto pick = mode.pick();
  ASSERT_TRUE(pick);
  EXPECT_EQ(pick->windows, (IDs{2, 1}));
  EXPECT_EQ(pick->displayID, "E");
  EXPECT_EQ(pick->choice.name, "Fill");

  EXPECT_EQ(mode.handle(Key::back(), world), Outcome::changed);
  EXPECT_EQ(mode.handle(Key::letter("S"), world), Outcome::changed);
  EXPECT_EQ(mode.handle(Key::close(), world), Outcome::closed);
}

TEST(PickToTileTests, TilingStraightFromPickingTakesTheFirstWay) {
  auto world = worldOfApps({"Mail", "Notes"});
  auto mode = after(world, {Key::letter("M"), Key::letter("N")});
  EXPECT_EQ(mode.displayID, "L");
  EXPECT_EQ(mode.handle(Key::tile(), world), Outcome::tile);
  ASSERT_TRUE(mode.pick());
  EXPECT_EQ(mode.pick()->choice.name, "Grid");
}

TEST(PickToTileTests, AFillPickLaysEveryWindowOverTheDisplay) {
  auto world = worldOfApps({"Mail", "Notes", "Safari"});
  auto mode = after(world, {Key::letter("S"), Key::letter("M"), Key::arrange()});
  ASSERT_EQ(mode.handle(Key::choose(static_cast<int>(mode.choices.size())), world),
            Outcome::changed);
  ASSERT_EQ(mode.handle(Key::tile(), world), Outcome::tile);
  auto plan = ApplyPlan::forPick(*mode.pick(), world, Gaps{0, 0});
  EXPECT_EQ(plan.movedFrames(),
            (std::map<std::uint32_t, CGRect>{{3, {0, 25, 1440, 875}}, {1, {0, 25, 1440, 875}}}));
  EXPECT_EQ(plan.focus, 3u);
}

TEST(WindowChoiceTests, ChipsRunFrontToBackAndNumberTheFirstNine) {
  std::vector<WindowSnapshot> windows;
  for (std::uint32_t i = 1; i <= 11; ++i)
    windows.push_back(window(i, "App", {10.0 * i, 30, 400, 300}));
  windows.push_back(window(20, "Elsewhere", {1500, 30, 400, 300}));
  auto world = worldOf(windows, {laptop(), external()});
  std::swap(world.windows[0].zIndex, world.windows[1].zIndex);  // 2 is in front of 1

  auto choice = WindowChoice::make(world, "L", {1, 11});
  ASSERT_EQ(choice.chips.size(), 11u);
  EXPECT_EQ(choice.chips[0].id, 2u);
  EXPECT_EQ(choice.chips[1].id, 1u);
  EXPECT_EQ(choice.chips[8].number, 9);
  EXPECT_FALSE(choice.chips[9].number);
  EXPECT_EQ(choice.chosen(), (IDs{1, 11}));

  EXPECT_TRUE(choice.toggleNumber(1));
  EXPECT_TRUE(choice.toggle(1));
  EXPECT_FALSE(choice.toggle(20));
  EXPECT_FALSE(choice.toggleNumber(10));
  EXPECT_EQ(choice.chosen(), (IDs{2, 11}));
}

}  // namespace
}  // namespace kestles
