#include "KestlesCore/apply/TileWindowsPlan.hpp"

#include <gtest/gtest.h>

#include "ApplyTestSupport.hpp"
#include "KestlesCore/apply/ApplyTarget.hpp"
#include "KestlesCore/apply/TileArrangement.hpp"
#include "KestlesCore/tiling/StyleShapes.hpp"

namespace kestles {
namespace {

using namespace apply_testing;

const Gaps kGaps{8, 8};

/// The laptop with `count` Code windows, window i + 1 at zIndex i (1 is the front-most).
World laptopWithWindows(int count) {
  auto world = worldOf({laptop()});
  for (int i = 0; i < count; ++i)
    world.windows.push_back(
        window(static_cast<std::uint32_t>(i + 1), kCode, 101, {100.0 + i * 10, 100, 600, 500}, i));
  return world;
}

/// The world with each moved window at the frame the plan gave it.
World carriedOut(World world, const ApplyPlan& plan) {
  auto frames = plan.movedFrames();
  for (auto& each : world.windows)
    if (auto found = frames.find(each.id); found != frames.end()) each.frame = found->second;
  return world;
}

TEST(TileWindowsPlan, TitlesFollowTheApps) {
  const std::pair<ApplyTarget, std::string> rows[] = {
      {ApplyTarget::tileWindows(std::nullopt, TileApps::all(), TilingStyle::grid), "Tile Windows"},
      {ApplyTarget::tileWindows("WIDE", TileApps::front(), TilingStyle::grid), "Tile App Windows"},
      {ApplyTarget::tileWindows(std::nullopt, TileApps::named("Safari"), TilingStyle::spiral),
       "Tile App Windows"},
      {ApplyTarget::tileAllDisplays(TilingStyle::columns), "Tile All Displays"},
  };
  for (const auto& [target, title] : rows) {
    EXPECT_EQ(target.title(), title);
    auto plan = target.plan(laptopAndWide(), kGaps);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->title, title);
  }
}

TEST(TileWindowsPlan, WindowsBeyondTheStylesLargestCountStayWhereTheyAre) {
  auto world = laptopWithWindows(7);
  int largest = largestTileCount(TilingStyle::mainStack, laptop().visibleFrame.size);
  ASSERT_LT(largest, 7);
  auto plan = tileWindowsPlan("LAPTOP", TileApps::all(), TilingStyle::mainStack, world, kGaps, {});
  ASSERT_EQ(plan.moves.size(), static_cast<std::size_t>(largest));
  // Front to back: the front-most window takes the main tile, the back-most ones are left.
  EXPECT_EQ(plan.moves.front().window, 1u);
  for (const auto& move : plan.moves)
    EXPECT_LE(move.window, static_cast<std::uint32_t>(largest));
  EXPECT_EQ(plan.tilings.at("LAPTOP").shape,
            shapeForCount(largest, laptop().visibleFrame.size, TilingStyle::mainStack));
}

TEST(TileWindowsPlan, RepeatingStepsThroughEveryStyleAndWraps) {
  auto world = laptopWithWindows(4);
  std::vector<std::string> shown;
  std::optional<std::string> announced;
  for (int press = 0; press < 5; ++press) {
    auto plan = tileWindowsPlan("LAPTOP", TileApps::all(), TilingStyle::spiral, world, kGaps, {});
    ASSERT_TRUE(plan.arrangement);
    if (announced) {
      EXPECT_EQ(plan.arrangement, announced) << "press " << press;
    }
    shown.push_back(*plan.arrangement);
    announced = plan.nextArrangement;
    world = carriedOut(world, plan);
  }
  EXPECT_EQ(shown,
            (std::vector<std::string>{"Spiral", "Grid", "Main + Stack", "Columns", "Spiral"}));
}

TEST(TileWindowsPlan, WindowsWithin24PointsOfTheirTilesCountAsShown) {
  auto display = laptop();
  auto candidates = styleArrangements(2, display, TilingStyle::columns, kGaps);
  // Two windows: columns and grid and spiral share their halves, main-stack differs.
  ASSERT_EQ(candidates.size(), 2u);
  auto tiles = LayoutSolver::solve(candidates[0].shape, display.visibleFrame, kGaps).tileFrames;
  auto near = tiles, far = tiles;
  near[1].origin.x += 24;
  far[1].origin.x += 25;
  EXPECT_EQ(chooseArrangement(candidates, near, {}, display, kGaps).chosen.name, "Main + Stack");
  EXPECT_EQ(chooseArrangement(candidates, far, {}, display, kGaps).chosen.name, "Columns");
  auto single = styleArrangements(1, display, TilingStyle::grid, kGaps);
  ASSERT_EQ(single.size(), 1u);
  EXPECT_EQ(chooseArrangement(single, {}, {}, display, kGaps).next, std::nullopt);
}

TEST(TileWindowsPlan, AppFiltersAndTheCurrentTilingsOrder) {
  auto world = laptopAndWide();
  // Safari by name on the laptop: only 22 (21 is on the wide display).
  auto named =
      tileWindowsPlan("LAPTOP", TileApps::named("saf"), TilingStyle::grid, world, kGaps, {});
  ASSERT_EQ(named.moves.size(), 1u);
  EXPECT_EQ(named.moves[0].window, 22u);
  auto nobody =
      tileWindowsPlan("LAPTOP", TileApps::named("Nope"), TilingStyle::grid, world, kGaps, {});
  EXPECT_TRUE(nobody.moves.empty());
  EXPECT_TRUE(nobody.tilings.empty());
  // The focused window's app, else the front-most window's (21, Safari).
  auto front = tileWindowsPlan("LAPTOP", TileApps::front(), TilingStyle::grid, world, kGaps, {11});
  ASSERT_EQ(front.moves.size(), 1u);
  EXPECT_EQ(front.moves[0].window, 11u);
  EXPECT_EQ(tileWindowsPlan("LAPTOP", TileApps::front(), TilingStyle::grid, world, kGaps, {})
                .moves.at(0)
                .window,
            22u);
  // Windows of the current tiling keep their slots ahead of the others.
  Tilings current{
      {"LAPTOP", Tiling::make("LAPTOP", templateShape("halves"), std::nullopt, {22, 11})}};
  auto kept = tileWindowsPlan("LAPTOP", TileApps::all(), TilingStyle::grid, world, kGaps,
                              {std::nullopt, &current});
  EXPECT_EQ(kept.tilings.at("LAPTOP").windows, (std::vector<std::optional<std::uint32_t>>{22, 11}));
}

TEST(TileWindowsPlan, AllDisplaysMergesWithTheActiveDisplayLast) {
  auto world = laptopAndWide();
  auto plan = tileAllDisplaysPlan(TilingStyle::grid, world, kGaps, {});
  ASSERT_EQ(plan.tilings.size(), 2u);
  std::vector<std::string> order;
  for (const auto& move : plan.moves)
    if (order.empty() || order.back() != move.displayID) order.push_back(move.displayID);
  EXPECT_EQ(order, (std::vector<std::string>{"WIDE", "LAPTOP"}));
  auto laptopAlone =
      tileWindowsPlan("LAPTOP", TileApps::all(), TilingStyle::grid, world, kGaps, {});
  EXPECT_EQ(plan.arrangement, laptopAlone.arrangement);
  EXPECT_EQ(plan.nextArrangement, laptopAlone.nextArrangement);
}

}  // namespace
}  // namespace kestles
