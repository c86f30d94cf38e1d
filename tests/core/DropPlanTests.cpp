#include "KestlesCore/session/DropPlan.hpp"

#include <gtest/gtest.h>

#include "TilingTestSupport.hpp"

namespace kestles {
namespace {

using namespace tiling_testing;

TEST(DropPlanTests, AFreeWindowTradingWithATileSendsTheOccupantToItsFrame) {
  const CGRect free{100, 100, 300, 200};
  auto world = worldOf(
      {windowAt(1, {0, 25, 500, 600}), windowAt(2, {500, 25, 500, 600}), windowAt(9, free)});
  Settings settings;
  settings.gaps = {0, 0};
  SessionState state;
  state.tilings = tiledWith("halves", {1, 2});
  state.snapMemory.remember(9, {0, 0, 10, 10}, free);

  auto plan = DropPlan::make({750, 300}, 9, world, settings, state);
  ASSERT_TRUE(plan.landing);
  EXPECT_EQ(plan.landing->occupant, 2u);
  EXPECT_EQ(plan.outcome.frames,
            (std::map<std::uint32_t, CGRect>{{2, free}, {9, {500, 25, 500, 600}}}));
  EXPECT_EQ(plan.outcome.state.tilings.at("main").windows,
            (std::vector<std::optional<std::uint32_t>>{1, 9}));
  // The window now belongs to a tile: its run of snaps is over.
  EXPECT_FALSE(plan.outcome.state.snapMemory.entry(9));

  // With drag to zones off, neither edges nor tiles take the window.
  settings.dragToZonesEnabled = false;
  auto off = DropPlan::make({750, 300}, 9, world, settings, state);
  EXPECT_TRUE(off.outcome.frames.empty());
  EXPECT_FALSE(off.landing);
  // The state only learns who its windows are.
  EXPECT_EQ(off.outcome.state, state.forgettingClosedWindows(world));
  EXPECT_EQ(off.outcome.state.identities.size(), 3u);
}

TEST(DropPlanTests, TheZoneShowsTheFrameTheTilesAndWhatTheDropDoes) {
  auto world = worldOf({windowAt(1, {0, 25, 500, 600}), windowAt(2, {500, 25, 500, 600}),
                        windowAt(9, {80, 80, 300, 200})});
  Settings settings;
  settings.gaps = {0, 0};
  SessionState state;
  state.tilings = tiledWith("halves", {1, 2});
  const std::vector<CGRect> tiles{{0, 25, 500, 600}, {500, 25, 500, 600}};
  struct Row {
    CGPoint pointer;
    std::optional<DropPlan::Zone> zone;
  };
  const Row rows[] = {
      // The rim wins over the tile beneath: the place's frame, no tiles.
      {{3, 300}, DropPlan::Zone{{0, 25, 500, 600}, {}, "Left Half"}},
      {{3, 40}, DropPlan::Zone{{0, 25, 500, 300}, {}, "Top Left"}},
      // A tile's middle trades, near its side splits, and the display's tiles are drawn.
      {{750, 300}, DropPlan::Zone{{500, 25, 500, 600}, tiles, "Trade Places"}},
      {{510, 300}, DropPlan::Zone{{500, 25, 250, 600}, tiles, "Split, Take the Left"}},
  };
  for (const auto& row : rows) {
    auto plan = DropPlan::make(row.pointer, 9, world, settings, state);
    EXPECT_EQ(plan.zone, row.zone) << row.pointer.x << "," << row.pointer.y;
  }
  // Over its own tile a tiled window has no zone: the drop only floats it.
  EXPECT_FALSE(DropPlan::make({250, 300}, 1, world, settings, state).zone);
}

}  // namespace
}  // namespace kestles
