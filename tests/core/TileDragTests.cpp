#include "KestlesCore/snap/TileDrag.hpp"

#include <gtest/gtest.h>

#include "KestlesCore/layout/Template.hpp"
#include "SnapTestSupport.hpp"

namespace kestles {
namespace {

using snap_testing::external;
using snap_testing::laptop;
using Slots = std::vector<std::optional<std::uint32_t>>;

// Halves on both displays without gaps: 1 | 2 on the laptop, 6 | empty on the wide one.
TileDrag dragOf(std::uint32_t window, std::set<std::string> offered = {"L", "E"}) {
  auto halves = Template::withID("halves");
  Tilings tilings;
  tilings.emplace("L",
                  Tiling::make("L", halves->shape, LayoutRef::templateLayout("halves"), {1, 2}));
  tilings.emplace("E", Tiling::make("E", halves->shape, LayoutRef::templateLayout("halves"), {6}));
  TileDrag drag;
  drag.window = window;
  drag.session = LiveTiles({{laptop(), external()}}, Gaps{0, 0}, std::move(tilings));
  drag.offered = std::move(offered);
  return drag;
}

TEST(TileDragTests, LandingsTradeInTheMiddleAndSplitNearAnEdge) {
  struct Case {
    const char* name;
    std::uint32_t window;
    CGPoint point;
    std::optional<DropTarget> target;  // nothing: no landing
    std::optional<std::uint32_t> occupant;
    CGRect frame;
    Slots laptopAfter;
    Slots wideAfter;
  };
  const Case cases[] = {
      {"trade on the laptop",
       1,
       {1080, 462},
       DropTarget::tile(1),
       2u,
       {720, 25, 720, 875},
       {2, 1},
       {6, std::nullopt}},
      // The tile left behind closes, so 2 fills the laptop and is split at its top.
      {"split at the top",
       1,
       {1080, 60},
       DropTarget::beside(1, TileEdge::top),
       std::nullopt,
       {0, 25, 1440, 438},
       {1, 2},
       {6, std::nullopt}},
      {"free window into the empty tile",
       9,
       {3360, 700},
       DropTarget::tile(1),
       std::nullopt,
       {2720, 25, 1280, 1415},
       {1, 2},
       {6, 9}},
      {"trade across displays",
       1,
       {2080, 700},
       DropTarget::tile(0),
       6u,
       {1440, 25, 1280, 1415},
       {6, 2},
       {1, std::nullopt}},
      {"own tile", 1, {360, 462}, std::nullopt, std::nullopt, {}, {}, {}},
      {"own tile's edge", 1, {20, 462}, std::nullopt, std::nullopt, {}, {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto drag = dragOf(c.window);
    auto landing = drag.landing(c.point);
    ASSERT_EQ(landing.has_value(), c.target.has_value());
    if (!landing) continue;
    EXPECT_EQ(landing->target, *c.target);
    EXPECT_EQ(landing->occupant, c.occupant);
    EXPECT_EQ(landing->frame, c.frame);
    auto after = drag.dropped(*landing);
    EXPECT_EQ(after.at("L").windows, c.laptopAfter);
    EXPECT_EQ(after.at("E").windows, c.wideAfter);
  }
}

TEST(TileDragTests, OnlyOfferedDisplaysLand) {
  EXPECT_FALSE(dragOf(9, {"L"}).landing({3360, 700}));
  EXPECT_TRUE(dragOf(9, {"L"}).landing({1080, 462}));
  EXPECT_FALSE(dragOf(9, {"L"}).landing({-50, 462}));  // on no display
}

TEST(TileDragTests, HoverShowsATradeLiveAndUndoesItWhenThePointerMovesOn) {
  auto drag = dragOf(1);
  const Tilings start = drag.session.tilings;
  ASSERT_TRUE(drag.hover({1080, 462}));
  EXPECT_EQ(drag.session.tilings.at("L").windows, (Slots{2, 1}));
  ASSERT_EQ(drag.unswapped.count("L"), 1u);
  EXPECT_EQ(drag.settled(), start);
  // Resting on the same tile keeps the trade: the landing is read before it.
  ASSERT_TRUE(drag.hover({1100, 470}));
  EXPECT_EQ(drag.session.tilings.at("L").windows, (Slots{2, 1}));
  // A split is not shown live; the trade is undone.
  ASSERT_TRUE(drag.hover({1080, 60}));
  EXPECT_EQ(drag.session.tilings, start);
  EXPECT_TRUE(drag.unswapped.empty());
  // A trade on the other display, then off every tile.
  ASSERT_TRUE(drag.hover({2080, 700}));
  EXPECT_EQ(drag.unswapped.size(), 2u);
  EXPECT_FALSE(drag.hover({1440 + 2559, 1439 + 500}));
  EXPECT_EQ(drag.session.tilings, start);
}

}  // namespace
}  // namespace kestles
