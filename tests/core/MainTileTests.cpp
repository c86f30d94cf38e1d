#include "KestlesCore/tiling/MainTile.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "KestlesCore/tiling/SwapMove.hpp"
#include "tests/core/TilingTestSupport.hpp"

namespace kestles {
namespace {

using namespace kestles::testing;
using Slots = std::vector<std::optional<std::uint32_t>>;

constexpr std::uint32_t A = 11, B = 12, C = 13;
const Gaps kNoGaps{0, 0};

/// Main + two: A in the main tile, B and C stacked on the right.
World mainAndTwoWorld() {
  return worldOf({windowAt(A, {0, 25, 620, 600}), windowAt(B, {620, 25, 380, 300}),
                  windowAt(C, {620, 325, 380, 300})});
}

TEST(MainTileTests, MakeMainThenTradeBack) {
  auto world = mainAndTwoWorld();
  auto tilings = tiledWith("main-stack-2", {A, B, C});
  auto plan = MainTile::make(C, world, tilings, kNoGaps, std::nullopt);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->partner, A);
  EXPECT_EQ(plan->tilings.at("main").windows, (Slots{C, B, A}));
  EXPECT_EQ(plan->frames.at(C), CGRect(0, 25, 620, 600));
  EXPECT_EQ(plan->frames.at(A), CGRect(620, 325, 380, 300));
  EXPECT_FALSE(plan->frames.contains(B));
  ASSERT_TRUE(plan->pair);
  EXPECT_EQ(*plan->pair, (MainTile::Pair{"main", C, A, {A, B, C}}));

  // Pressing again with C in front trades back to the recorded slots.
  auto back = MainTile::make(C, world, plan->tilings, kNoGaps, plan->pair);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->tilings.at("main").windows, (Slots{A, B, C}));
  EXPECT_EQ(back->partner, A);
  EXPECT_EQ(back->pair, std::nullopt);

  // The pair no longer describes the display once its slots changed: C is main already.
  auto moved = plan->tilings;
  moved.at("main").swap(1, 2);
  EXPECT_FALSE(MainTile::make(C, world, moved, kNoGaps, plan->pair));
  // Nor does it on another display, or for another front window.
  auto elsewhere = *plan->pair;
  elsewhere.displayID = "right";
  EXPECT_FALSE(MainTile::make(C, world, plan->tilings, kNoGaps, elsewhere));
  auto fromB = MainTile::make(B, world, plan->tilings, kNoGaps, plan->pair);
  ASSERT_TRUE(fromB);
  EXPECT_EQ(fromB->partner, C);
}

TEST(MainTileTests, TiesEmptyTilesAndNothingToDo) {
  auto world = worldOf({windowAt(A, {0, 25, 500, 600}), windowAt(B, {500, 25, 500, 600})});
  auto halves = tiledWith("halves", {A, B});
  auto plan = MainTile::make(B, world, halves, kNoGaps, std::nullopt);
  ASSERT_TRUE(plan);  // equal tiles: the first is the main one
  EXPECT_EQ(plan->tilings.at("main").windows, (Slots{B, A}));
  EXPECT_FALSE(MainTile::make(A, world, halves, kNoGaps, std::nullopt));
  EXPECT_FALSE(MainTile::make(C, world, halves, kNoGaps, std::nullopt));  // not tiled

  auto empty = tiledWith("main-stack-2", {A, B, C});
  empty.at("main").remove(A);
  auto taken = MainTile::make(C, mainAndTwoWorld(), empty, kNoGaps, std::nullopt);
  ASSERT_TRUE(taken);
  EXPECT_EQ(taken->partner, std::nullopt);
  EXPECT_EQ(taken->pair, std::nullopt);
  EXPECT_EQ(taken->tilings.at("main").windows, (Slots{C, B, std::nullopt}));

  EXPECT_EQ(MainTile::description,
            "Into the biggest tile, trading places with the window there. Press again to trade "
            "back.");
}

TEST(MainTileTests, PairJSON) {
  MainTile::Pair pair{"main", C, A, {A, std::nullopt, C}};
  nlohmann::json json = pair;
  EXPECT_EQ(json,
            nlohmann::json::parse(
                R"({"displayID": "main", "main": 13, "partner": 11, "windows": [11, null, 13]})"));
  EXPECT_EQ(json.get<MainTile::Pair>(), pair);
  json.erase("main");
  EXPECT_ANY_THROW((void)json.get<MainTile::Pair>());
}

TEST(SwapMoveTests, TradesWithTheTileBeside) {
  auto world = mainAndTwoWorld();
  auto tilings = tiledWith("main-stack-2", {A, B, C});
  auto plan = SwapMove::make(C, TileEdge::top, world, tilings, kNoGaps);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->partner, B);
  EXPECT_EQ(plan->tilings.at("main").windows, (Slots{A, C, B}));
  EXPECT_EQ(plan->frames,
            (std::map<std::uint32_t, CGRect>{{B, {620, 325, 380, 300}}, {C, {620, 25, 380, 300}}}));
  auto left = SwapMove::make(C, TileEdge::left, world, tilings, kNoGaps);
  ASSERT_TRUE(left);
  EXPECT_EQ(left->partner, A);

  EXPECT_FALSE(SwapMove::make(C, TileEdge::right, world, tilings, kNoGaps));  // nothing there
  EXPECT_FALSE(SwapMove::make(99, TileEdge::left, world, tilings, kNoGaps));  // not tiled
  tilings.at("main").remove(A);
  EXPECT_FALSE(SwapMove::make(C, TileEdge::left, world, tilings, kNoGaps));  // an empty tile
}

}  // namespace
}  // namespace kestles
