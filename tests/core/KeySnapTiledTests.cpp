#include <gtest/gtest.h>

#include "KestlesCore/layout/Template.hpp"
#include "KestlesCore/snap/KeySnap.hpp"
#include "SnapTestSupport.hpp"

namespace kestles {
namespace {

using snap_testing::external;
using snap_testing::laptop;

// Quarters on the laptop without gaps: windows 1 to 4 in tile order, the wide display with
// halves holding window 6 and an empty tile.
Tilings tiles() {
  auto quarters = Template::withID("quarters");
  auto halves = Template::withID("halves");
  Tilings tilings;
  tilings.emplace(
      "L", Tiling::make("L", quarters->shape, LayoutRef::templateLayout("quarters"), {1, 2, 3, 4}));
  tilings.emplace("E", Tiling::make("E", halves->shape, LayoutRef::templateLayout("halves"), {6}));
  return tilings;
}

KeySnap::Planner tiledPlanner(std::uint32_t window, Tilings tilings = tiles()) {
  KeySnap::Planner p;
  p.window = window;
  p.display = laptop();
  p.setup = {{laptop(), external()}};
  p.session = LiveTiles(p.setup, Gaps{0, 0}, std::move(tilings));
  p.frame = p.session->frames("L").at(window);
  return p;
}

std::vector<std::optional<std::uint32_t>> slots(const KeySnap::Plan& plan, const char* display) {
  return plan.session->tiling(display)->windows;
}

/// Which tile operation each action makes for window 1 (top left) and window 4 (bottom
/// right) of the quarters; an empty expectation means no plan.
TEST(KeySnapTiledTests, EachActionTradesZoomsOrLeavesTheTiles) {
  using Slots = std::vector<std::optional<std::uint32_t>>;
  const Slots same{1, 2, 3, 4};
  struct Case {
    SnapAction action;
    std::uint32_t window;
    std::optional<Slots> after;  // the laptop's slots; nothing: no plan
  };
  const Case cases[] = {
      {SnapAction::leftHalf, 1, std::nullopt},  // already in the left half
      {SnapAction::rightHalf, 1, Slots{2, 1, 3, 4}},
      {SnapAction::rightHalf, 3, Slots{1, 2, 4, 3}},  // keeps its row
      {SnapAction::bottomHalf, 1, Slots{3, 2, 1, 4}},
      {SnapAction::topHalf, 4, Slots{1, 4, 3, 2}},
      {SnapAction::bottomRight, 1, Slots{4, 2, 3, 1}},
      {SnapAction::topLeft, 1, std::nullopt},
      {SnapAction::lastThird, 1, Slots{2, 1, 3, 4}},
      {SnapAction::firstTwoThirds, 4, Slots{1, 2, 4, 3}},
      {SnapAction::moveRight, 1, Slots{2, 1, 3, 4}},
      {SnapAction::moveDown, 2, Slots{1, 4, 3, 2}},
      {SnapAction::moveLeft, 1, std::nullopt},  // no tile that way
      {SnapAction::maximize, 2, same},
      {SnapAction::almostMaximize, 2, same},
      {SnapAction::restore, 2, std::nullopt},  // not zoomed
      {SnapAction::fillSpace, 1, std::nullopt},
      {SnapAction::larger, 1, std::nullopt},
      {SnapAction::smaller, 1, std::nullopt},
      {SnapAction::maximizeWidth, 1, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(rawValue(c.action)) + " on " + std::to_string(c.window));
    auto plan = KeySnap::plan(c.action, tiledPlanner(c.window));
    ASSERT_EQ(plan.has_value(), c.after.has_value());
    if (!plan) continue;
    EXPECT_EQ(slots(*plan, "L"), *c.after);
    EXPECT_EQ(plan->frame, plan->frames.at(c.window));
    EXPECT_EQ(plan->context.size(), 4u);
  }
}

TEST(KeySnapTiledTests, TradesMoveBothWindowsAndZoomCoversTheArea) {
  auto planner = tiledPlanner(1);
  auto before = planner.session->frames("L");
  auto traded = KeySnap::plan(SnapAction::rightHalf, planner);
  ASSERT_TRUE(traded);
  EXPECT_EQ(traded->frames,
            (std::map<std::uint32_t, CGRect>{{1, before.at(2)}, {2, before.at(1)}}));
  EXPECT_FALSE(traded->zooms);

  auto zoomed = KeySnap::plan(SnapAction::maximize, tiledPlanner(2));
  ASSERT_TRUE(zoomed);
  EXPECT_EQ(zoomed->zooms, true);
  EXPECT_EQ(zoomed->frame, CGRect(0, 25, 1440, 875));
  EXPECT_EQ(zoomed->frames.size(), 1u);
  EXPECT_EQ(zoomed->session->tiling("L")->zoomed, 2u);

  // Zooming again changes nothing; restore puts it back into its tile.
  auto again = tiledPlanner(2, zoomed->session->tilings);
  again.frame = zoomed->frame;
  EXPECT_FALSE(KeySnap::plan(SnapAction::maximize, again));
  auto back = KeySnap::plan(SnapAction::restore, again);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->zooms, false);
  EXPECT_EQ(back->frame, before.at(2));
  EXPECT_FALSE(back->session->tiling("L")->zoomed);

  // A zoomed window that trades tiles is no longer zoomed.
  auto moved = KeySnap::plan(SnapAction::moveLeft, again);
  ASSERT_TRUE(moved);
  EXPECT_FALSE(moved->session->tiling("L")->zoomed);
  EXPECT_EQ(moved->frame, before.at(1));
}

TEST(KeySnapTiledTests, DisplayMovesLeaveTheTileForAnEmptyOneOrAFreeFrame) {
  auto carried = KeySnap::plan(SnapAction::nextDisplay, tiledPlanner(3));
  ASSERT_TRUE(carried);
  EXPECT_EQ(carried->displayID, "E");
  EXPECT_EQ(slots(*carried, "L"),
            (std::vector<std::optional<std::uint32_t>>{1, 2, std::nullopt, 4}));
  EXPECT_EQ(slots(*carried, "E"), (std::vector<std::optional<std::uint32_t>>{6, 3}));
  EXPECT_EQ(carried->frame, carried->session->frames("E").at(3));

  // With no empty tile there, the window is carried as a free window.
  auto full = tiles();
  full.at("E").restore(7, 1);
  auto free = KeySnap::plan(SnapAction::previousDisplay, tiledPlanner(1, full));
  ASSERT_TRUE(free);
  EXPECT_EQ(slots(*free, "E"), (std::vector<std::optional<std::uint32_t>>{6, 7}));
  EXPECT_FALSE(free->session->tiling("E")->contains(1));
  EXPECT_TRUE(external().visibleFrame.contains(free->frame.center()));
}

}  // namespace
}  // namespace kestles
