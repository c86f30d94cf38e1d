#include "KestlesCore/keyboard/TileHints.hpp"

#include <gtest/gtest.h>

#include "KestlesCore/layout/Template.hpp"
#include "KeyboardTestSupport.hpp"

namespace kestles {
namespace {

using keyboard_testing::external;
using keyboard_testing::laptop;
using keyboard_testing::window;
using keyboard_testing::worldOf;
using IDs = std::vector<std::uint32_t>;

Tiling tilingOf(const char* templateID, const std::string& displayID,
                std::vector<std::uint32_t> windows) {
  return Tiling::make(displayID, Template::withID(templateID)->shape,
                      LayoutRef::templateLayout(templateID), windows);
}

/// Halves on the laptop holding 1 | 2; thirds on the external display holding 6, nothing, 7;
/// window 9 is free. No gaps.
struct TileHintsTests : ::testing::Test {
  LiveTiles session{{{external(), laptop()}},
                    Gaps{0, 0},
                    {{"L", tilingOf("halves", "L", {1, 2})}, {"E", tilingOf("thirds", "E", {6})}}};
  World world =
      worldOf({window(1, "Mail", {0, 25, 720, 875}), window(2, "Notes", {720, 25, 720, 875}),
               window(9, "Safari", {300, 200, 500, 400}), window(6, "Xcode", {1440, 0, 640, 1080}),
               window(7, "Terminal", {2720, 0, 640, 1080})},
              {laptop(), external()});

  TileHintsTests() { session.tilings.at("E").windows = {6, std::nullopt, 7}; }

  TileHints::Hint hintKeyed(char key, std::uint32_t front) const {
    for (const auto& hint : TileHints::hints(front, session, world))
      if (hint.key == key) return hint;
    ADD_FAILURE() << "no tile keyed " << key;
    return {};
  }
};

TEST_F(TileHintsTests, KeysRunLeftToRightSkippingTheFrontWindowsTile) {
  auto hints = TileHints::hints(1, session, world);
  ASSERT_EQ(hints.size(), 4u);
  struct Expected {
    char key;
    const char* display;
    int tile;
    std::optional<std::uint32_t> occupant;
    std::optional<std::string> appName;
  };
  const Expected expected[] = {{'1', "L", 1, 2u, "Notes"},
                               {'2', "E", 0, 6u, "Xcode"},
                               {'3', "E", 1, std::nullopt, std::nullopt},
                               {'4', "E", 2, 7u, "Terminal"}};
  for (std::size_t i = 0; i < hints.size(); ++i) {
    EXPECT_EQ(hints[i].key, expected[i].key);
    EXPECT_EQ(hints[i].displayID, expected[i].display);
    EXPECT_EQ(hints[i].tile, expected[i].tile);
    EXPECT_EQ(hints[i].occupant, expected[i].occupant);
    EXPECT_EQ(hints[i].appName, expected[i].appName);
    EXPECT_EQ(hints[i].split.has_value(), expected[i].occupant.has_value());
  }
  EXPECT_EQ(hints[0].frame, (CGRect{720, 25, 720, 875}));
  // A tall tile splits one above the other; the window takes the lower half, and its own
  // tile closes, so the split tile widens to the whole display.
  EXPECT_EQ(hints[0].split, (CGRect{0, 463, 1440, 437}));
  EXPECT_EQ(hints[1].bundleID, "app.Xcode");
}

TEST_F(TileHintsTests, TilesBeyondTheThirtySixKeysGetNone) {
  std::vector<DrawnTile> tiles;
  for (int i = 0; i < 40; ++i)
    tiles.push_back(DrawnTile::make({(i % 8) / 8.0, (i / 8) / 5.0, 1 / 8.0, 1 / 5.0}));
  session.tilings["E"] = Tiling::make("E", TileShape::drawn(tiles), std::nullopt, {});
  auto hints = TileHints::hints(1, session, world);
  ASSERT_EQ(hints.size(), 36u);
  EXPECT_EQ(hints[0].displayID, "L");
  EXPECT_EQ(hints[10].key, 'A');
  EXPECT_EQ(hints.back().key, 'M');
  EXPECT_EQ(hints.back().tile, 34);
}

TEST_F(TileHintsTests, AWideTileSplitsSideBySide) {
  session.tilings["L"] = tilingOf("halves-stacked", "L", {1, 2});
  auto hint = hintKeyed('1', 1);
  // The window's upper tile closes: the lower one, split, takes the whole height.
  EXPECT_EQ(hint.split, (CGRect{720, 25, 720, 875}));
}

TEST_F(TileHintsTests, TheSplitPreviewIsTheFrameTheSplitGives) {
  // The preview used to be the tile's half less the inner gap, while the split solves the
  // tree again with its gaps and lands elsewhere.
  session.gaps = Gaps{8, 8};
  for (std::uint32_t front : {1u, 9u}) {
    for (const auto& hint : TileHints::hints(front, session, world)) {
      if (!hint.split) continue;
      auto plan = TileHints::plan(hint, true, front, session, world);
      ASSERT_TRUE(plan);
      EXPECT_EQ(hint.split, plan->frames.at(front)) << hint.key << " for " << front;
    }
  }
}

TEST_F(TileHintsTests, ATileKeyTradesPlacesWithTheOccupant) {
  auto plan = TileHints::plan(hintKeyed('1', 1), false, 1, session, world);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->occupant, 2u);
  EXPECT_EQ(plan->frames,
            (std::map<std::uint32_t, CGRect>{{1, {720, 25, 720, 875}}, {2, {0, 25, 720, 875}}}));
  EXPECT_EQ(plan->session.tiling("L")->windowIDs(), (IDs{2, 1}));
  EXPECT_TRUE(plan->joined.empty());
  EXPECT_EQ(plan->tiles, (std::vector<CGRect>{{0, 25, 720, 875}, {720, 25, 720, 875}}));
}

TEST_F(TileHintsTests, ShiftSplitsTheTileAndTheOldTileCloses) {
  auto plan = TileHints::plan(hintKeyed('1', 1), true, 1, session, world);
  ASSERT_TRUE(plan);
  EXPECT_FALSE(plan->occupant);
  EXPECT_TRUE(std::holds_alternative<DropTarget::Beside>(plan->target.value));
  EXPECT_EQ(plan->session.tiling("L")->windowIDs(), (IDs{2, 1}));
  EXPECT_EQ(plan->tiles.size(), 2u);
  EXPECT_EQ(plan->frames.at(2), (CGRect{0, 25, 1440, 438}));
  EXPECT_EQ(plan->frames.at(1), (CGRect{0, 463, 1440, 437}));
}

TEST_F(TileHintsTests, AFreeWindowTakesTheTileAndTheOccupantTakesItsPlace) {
  // A free front window skips no tile: "1" is the tile of window 1, "2" that of window 2.
  auto plan = TileHints::plan(hintKeyed('2', 9), false, 9, session, world);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->joined, (std::set<std::uint32_t>{9}));
  EXPECT_EQ(plan->frames.at(9), (CGRect{720, 25, 720, 875}));
  EXPECT_EQ(plan->frames.at(2), (CGRect{300, 200, 500, 400}));
  EXPECT_FALSE(plan->session.tiling("L")->contains(2));
}

TEST_F(TileHintsTests, AnEmptyTileOnAnotherDisplayIsTakenEvenWithShift) {
  auto plan = TileHints::plan(hintKeyed('3', 1), true, 1, session, world);
  ASSERT_TRUE(plan);
  EXPECT_TRUE(std::holds_alternative<DropTarget::Tile>(plan->target.value));
  EXPECT_EQ(plan->displayID, "E");
  EXPECT_EQ(plan->frames, (std::map<std::uint32_t, CGRect>{{1, {2080, 0, 640, 1080}}}));
  EXPECT_FALSE(plan->session.tiling("L")->contains(1));
  EXPECT_EQ(plan->session.tiling("E")->windowIn(1), 1u);
}

}  // namespace
}  // namespace kestles
