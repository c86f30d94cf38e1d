#include "KestlesCore/tiling/TileToggle.hpp"

#include <gtest/gtest.h>

#include "tests/core/TilingTestSupport.hpp"

namespace kestles {
namespace {

using namespace kestles::testing;
using Slots = std::vector<std::optional<std::uint32_t>>;

constexpr std::uint32_t A = 11, B = 12, C = 13, F = 20;
const Gaps kNoGaps{0, 0};

TEST(TileToggleTests, ATiledWindowFloatsAndItsNeighboursCloseUp) {
  auto world = worldOf({windowAt(A, {0, 25, 333, 600}), windowAt(B, {333, 25, 334, 600}),
                        windowAt(C, {667, 25, 333, 600})});
  auto plan = TileToggle::make(B, world, tiledWith("thirds", {A, B, C}), kNoGaps);
  ASSERT_TRUE(plan);
  EXPECT_FALSE(plan->joins);
  EXPECT_EQ(plan->displayID, "main");
  EXPECT_EQ(plan->tilings.at("main").windows, (Slots{A, C}));
  EXPECT_EQ(plan->tiles, (std::vector<CGRect>{{0, 25, 667, 600}, {667, 25, 333, 600}}));
  EXPECT_EQ(plan->frames.at(A), CGRect(0, 25, 667, 600));
  EXPECT_FALSE(plan->frames.contains(C));
  EXPECT_EQ(plan->frames.at(B), CGRect(167, 125, 667, 400));  // two thirds, centred

  // A floating window keeps its minimum size; the last tile only empties.
  auto wide = windowAt(A, {0, 25, 1000, 600});
  wide.minimumSize = {900, 0};
  auto alone = TileToggle::make(A, worldOf({wide}), tiledWith("halves", {A}), kNoGaps);
  ASSERT_TRUE(alone);
  EXPECT_EQ(alone->frames.at(A), CGRect(51, 125, 900, 400));  // landed on the centred frame
  auto lastTile = Tiling::make("main", TileShape::tree(LayoutNode::tile()), std::nullopt, {A});
  auto emptied = TileToggle::make(A, worldOf({wide}), {{"main", lastTile}}, kNoGaps);
  ASSERT_TRUE(emptied);
  EXPECT_EQ(emptied->tilings.at("main").windows, (Slots{std::nullopt}));
}

TEST(TileToggleTests, AFloatingWindowTakesAnEmptyTileElseSplitsTheTileBelowIt) {
  auto world = worldOf({windowAt(A, {0, 25, 500, 600}), windowAt(B, {500, 25, 500, 600}),
                        windowAt(F, {600, 100, 200, 100})});
  // Over the right half, a tall tile: split top and bottom, the window's centre (y 150) on top.
  auto plan = TileToggle::make(F, world, tiledWith("halves", {A, B}), kNoGaps);
  ASSERT_TRUE(plan);
  EXPECT_TRUE(plan->joins);
  EXPECT_EQ(plan->tilings.at("main").windows, (Slots{A, F, B}));
  EXPECT_EQ(plan->frames.at(F), CGRect(500, 25, 500, 300));
  EXPECT_EQ(plan->frames.at(B), CGRect(500, 325, 500, 300));
  EXPECT_FALSE(plan->frames.contains(A));
  EXPECT_EQ(plan->tiles.size(), 3u);

  // A wide tile is split side by side, the window taking the side of its centre.
  auto leftward = world;
  leftward.windows[2].frame = {100, 100, 200, 100};
  auto stacked = TileToggle::make(F, leftward, tiledWith("halves-stacked", {A, B}), kNoGaps);
  ASSERT_TRUE(stacked);
  EXPECT_EQ(stacked->tilings.at("main").windows, (Slots{F, A, B}));
  EXPECT_EQ(stacked->frames.at(F), CGRect(0, 25, 500, 300));

  auto withEmpty = tiledWith("thirds", {A, B});
  auto filled = TileToggle::make(F, world, withEmpty, kNoGaps);
  ASSERT_TRUE(filled);
  EXPECT_EQ(filled->tilings.at("main").windows, (Slots{A, B, F}));
  EXPECT_EQ(filled->frames.at(F), CGRect(667, 25, 333, 600));
  EXPECT_EQ(filled->frames.at(A), CGRect(0, 25, 333, 600));

  EXPECT_FALSE(TileToggle::make(F, world, {}, kNoGaps));  // no tiling to join
  EXPECT_EQ(TileToggle::description,
            "A tiled window floats in the middle and the tiles beside it close up. A floating "
            "one takes a tile.");
}

}  // namespace
}  // namespace kestles
