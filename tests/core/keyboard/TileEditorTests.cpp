#include "KestlesCore/keyboard/TileEditor.hpp"

#include <gtest/gtest.h>

#include "KestlesCore/layout/Template.hpp"
#include "KeyboardTestSupport.hpp"

namespace kestles {
namespace {

using keyboard_testing::laptop;
using keyboard_testing::window;
using keyboard_testing::worldOf;
using Key = TileEditor::Key;
using Slots = std::vector<std::optional<std::uint32_t>>;

constexpr int kNone = 0;
constexpr int kShift = KeyModifiers::shift;
constexpr int kOption = KeyModifiers::option;
constexpr int kCommand = KeyModifiers::command;
constexpr int kControl = KeyModifiers::control;

TEST(TileEditorKeyTests, KeyPressesMapToEditorKeys) {
  struct Case {
    int keyCode;
    int modifiers;
    const char* characters;
    std::optional<Key> key;
  };
  const Case cases[] = {
      {123, kNone, "", Key::choose(TileEdge::left)},
      {124, kNone, "", Key::choose(TileEdge::right)},
      {126, kNone, "", Key::choose(TileEdge::top)},
      {125, kNone, "", Key::choose(TileEdge::bottom)},
      {124, kShift, "", Key::swap(TileEdge::right)},
      {126, kOption, "", Key::moveEdge(TileEdge::top)},
      {123, kCommand, "", std::nullopt},
      {123, kShift | kOption, "", std::nullopt},
      {48, kNone, "\t", Key::next(true)},
      {48, kShift, "\t", Key::next(false)},
      {48, kOption, "\t", std::nullopt},
      {36, kCommand | kShift, "\r", Key::keep()},
      {76, kNone, "\x03", Key::keep()},
      {53, kOption, "\x1b", Key::cancel()},
      {51, kNone, "", Key::close()},
      {117, kShift, "", Key::close()},
      {1, kNone, "s", Key::split(false)},
      {1, kShift, "S", Key::split(true)},
      {1, kOption, "ß", std::nullopt},
      {1, kCommand, "s", std::nullopt},
      {7, kShift, "X", Key::close()},
      {3, kNone, "f", Key::fill()},
      {14, kShift, "E", Key::evenOut()},
      {24, kNone, "=", Key::evenOut()},
      {32, kNone, "u", Key::undo()},
      {6, kCommand, "z", Key::undo()},
      {6, kNone, "z", std::nullopt},
      {0, kNone, "a", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Key::from(c.keyCode, KeyModifiers{c.modifiers}, c.characters), c.key)
        << c.keyCode << " with " << c.modifiers;
  // Control turns every key off, even Escape and Return.
  for (const auto& c : cases)
    EXPECT_EQ(Key::from(c.keyCode, KeyModifiers{c.modifiers | kControl}, c.characters),
              std::nullopt)
        << c.keyCode;
}

/// Halves on the laptop holding 1 | 2 without gaps; window 3 is free on the same display.
struct TileEditorTests : ::testing::Test {
  World world =
      worldOf({window(1, "Mail", {0, 25, 720, 875}), window(2, "Notes", {720, 25, 720, 875}),
               window(3, "Safari", {200, 200, 600, 400})});
  LiveTiles session{world.setup,
                    Gaps{0, 0},
                    {{"L", Tiling::make("L", Template::withID("halves")->shape,
                                        LayoutRef::templateLayout("halves"), {1, 2})}}};

  TileEditor opened(std::uint32_t front = 1) const {
    auto editor = TileEditor::open(front, world, session);
    EXPECT_TRUE(editor);
    return *editor;
  }

  /// The editor after the keys, each of which must be taken.
  TileEditor after(const std::vector<Key>& keys, std::uint32_t front = 1) const {
    auto editor = opened(front);
    for (const auto& key : keys) {
      auto next = editor.apply(key);
      EXPECT_TRUE(next);
      if (next) editor = *next;
    }
    return editor;
  }
};

TEST_F(TileEditorTests, OpensOnTheFrontWindowsTile) {
  auto editor = opened(2);
  EXPECT_EQ(editor.displayID, "L");
  EXPECT_EQ(editor.displayName, "Laptop");
  EXPECT_EQ(editor.selected, 1);
  EXPECT_EQ(editor.tileable, (std::set<std::uint32_t>{1, 2, 3}));
  EXPECT_EQ(editor.startFrames.at(3), (CGRect{200, 200, 600, 400}));
  EXPECT_EQ(editor.initial, editor.tiling);
}

TEST_F(TileEditorTests, ADisplayWithoutTilesStartsAsOneTileHoldingTheWindow) {
  session.tilings.clear();
  auto editor = opened(3);
  EXPECT_EQ(editor.tiling.windows, (Slots{3}));
  EXPECT_EQ(editor.frames().at(3), (CGRect{0, 25, 1440, 875}));
  // Cancelling leaves the display untiled, as it was.
  auto cancelled = editor.apply(Key::cancel());
  ASSERT_TRUE(cancelled);
  EXPECT_FALSE(cancelled->session.tiling("L"));
}

TEST_F(TileEditorTests, EditsMoveTheWindowsAndTheSelection) {
  struct Case {
    const char* name;
    std::vector<Key> keys;
    Slots windows;
    int selected;
    std::vector<double> widths;  // of the tiles, in tile order
  };
  const Case cases[] = {
      {"choose right", {Key::choose(TileEdge::right)}, {1, 2}, 1, {720, 720}},
      {"next wraps", {Key::next(true), Key::next(true)}, {1, 2}, 0, {720, 720}},
      {"previous wraps", {Key::next(false)}, {1, 2}, 1, {720, 720}},
      {"swap follows the window", {Key::swap(TileEdge::right)}, {2, 1}, 1, {720, 720}},
      {"push the right edge", {Key::moveEdge(TileEdge::right)}, {1, 2}, 0, {792, 648}},
      {"push the left edge of the right tile",
       {Key::choose(TileEdge::right), Key::moveEdge(TileEdge::left)},
       {1, 2},
       1,
       {648, 792}},
      {"even out", {Key::moveEdge(TileEdge::right), Key::evenOut()}, {1, 2}, 0, {720, 720}},
      {"split a tall tile one above the other",
       {Key::split(false)},
       {1, std::nullopt, 2},
       1,
       {720, 720, 720}},
      {"split across side by side", {Key::split(true)}, {1, std::nullopt, 2}, 1, {360, 360, 720}},
      {"close gives the room to the neighbour", {Key::close()}, {2}, 0, {1440}},
      {"fill takes a free window", {Key::split(true), Key::fill()}, {1, 3, 2}, 1, {360, 360, 720}},
      {"fill brings a closed tile's window back first",
       {Key::close(), Key::split(false), Key::fill()},
       {2, 1},
       1,
       {720, 720}},
      {"undo", {Key::swap(TileEdge::right), Key::split(false), Key::undo()}, {2, 1}, 1, {720, 720}},
  };
  for (const auto& c : cases) {
    auto editor = after(c.keys);
    EXPECT_EQ(editor.tiling.windows, c.windows) << c.name;
    EXPECT_EQ(editor.selected, c.selected) << c.name;
    std::vector<double> widths;
    for (const auto& frame : editor.tileFrames())
      widths.push_back(frame.width());
    EXPECT_EQ(widths, c.widths) << c.name;
    EXPECT_EQ(*editor.session.tiling("L"), editor.tiling) << c.name;
  }
}

TEST_F(TileEditorTests, RefusedKeysLeaveTheEditorAsItWas) {
  struct Case {
    const char* name;
    std::vector<Key> before;
    Key key;
  };
  const Case cases[] = {
      {"no tile to the left", {}, Key::choose(TileEdge::left)},
      {"no tile above", {}, Key::swap(TileEdge::top)},
      {"the display's edge", {}, Key::moveEdge(TileEdge::left)},
      {"nothing to undo", {}, Key::undo()},
      {"already even", {}, Key::evenOut()},
      {"no empty tile", {}, Key::fill()},
      {"the last tile", {Key::close()}, Key::close()},
      {"after keep", {Key::keep()}, Key::choose(TileEdge::right)},
      {"after cancel", {Key::cancel()}, Key::undo()},
  };
  for (const auto& c : cases)
    EXPECT_FALSE(after(c.before).apply(c.key)) << c.name;
}

TEST_F(TileEditorTests, SplitsNeedRoomForTwoTiles) {
  // A narrow display: halves of 200 × 600.
  world.setup.displays = {{"N", "Narrow", {0, 0, 400, 600}, {0, 0, 400, 600}, false, true}};
  world.activeDisplayID = "N";
  world.windows = {window(1, "Mail", {0, 0, 200, 600}), window(2, "Notes", {200, 0, 200, 600})};
  session = LiveTiles{world.setup,
                      Gaps{0, 0},
                      {{"N", Tiling::make("N", Template::withID("halves")->shape,
                                          LayoutRef::templateLayout("halves"), {1, 2})}}};
  auto editor = opened();
  EXPECT_FALSE(editor.apply(Key::split(true)));  // two tiles 100 wide
  auto split = editor.apply(Key::split(false));  // two tiles 300 tall
  ASSERT_TRUE(split);
  EXPECT_EQ(split->tileFrames()[1], (CGRect{0, 300, 200, 300}));
  auto again = split->apply(Key::split(false));  // two tiles 150 tall
  ASSERT_TRUE(again);
  EXPECT_FALSE(again->apply(Key::split(false)));  // 75 tall
}

TEST_F(TileEditorTests, AWideTileSplitAcrossGoesOneAboveTheOther) {
  session.tilings["L"] = Tiling::make("L", Template::withID("halves-stacked")->shape,
                                      LayoutRef::templateLayout("halves-stacked"), {1, 2});
  auto editor = after({Key::split(true)});
  auto frames = editor.tileFrames();
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[0].width(), 1440);
  EXPECT_EQ(frames[1].width(), 1440);
  EXPECT_LT(frames[0].height(), 220);
}

TEST_F(TileEditorTests, KeepKeepsTheEditAndCancelPutsEverythingBack) {
  auto kept = after({Key::close(), Key::keep()});
  EXPECT_EQ(kept.ending, TileEditor::Ending::kept);
  EXPECT_EQ(kept.frames(),
            (std::map<std::uint32_t, CGRect>{{1, {0, 25, 720, 875}}, {2, {0, 25, 1440, 875}}}));

  auto cancelled = after({Key::swap(TileEdge::right), Key::close(), Key::cancel()});
  EXPECT_EQ(cancelled.ending, TileEditor::Ending::cancelled);
  EXPECT_EQ(cancelled.tiling, cancelled.initial);
  EXPECT_EQ(*cancelled.session.tiling("L"), cancelled.initial);
  EXPECT_EQ(cancelled.frames(), cancelled.startFrames);
  EXPECT_TRUE(cancelled.floating.empty());
}

}  // namespace
}  // namespace kestles
