#include "KestlesCore/snap/Snapper.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "SnapTestSupport.hpp"

namespace kestles {
namespace {

const Gaps kNoGaps{0, 0};
const CGRect kSmall(0, 0, 800, 600);  // 0.2 of either side is below the 200-point floor

struct FrameCase {
  CGRect window;
  std::optional<CGRect> expected;
};

TEST(SnapperTests, SmallerShrinksAwayFromHeldEdgesDownToTheSmallestSize) {
  const FrameCase cases[] = {
      {{0, 100, 230, 200}, CGRect(0, 100, 200, 200)},      // at the left: 30 off the right, not 40
      {{2, 100, 230, 200}, CGRect(2, 100, 200, 200)},      // within 2 points counts as at the edge
      {{570, 100, 230, 200}, CGRect(600, 100, 200, 200)},  // at the right: off the left
      {{300, 100, 230, 200}, CGRect(315, 100, 200, 200)},  // free: half from each side
      {{200, 100, 500, 200}, CGRect(240, 100, 420, 200)},  // a full step is 40 on each side
      {{300, 100, 500, 200}, CGRect(340, 100, 460, 200)},  // at the right: a full step is 40
      {{0, 100, 200, 200}, std::nullopt},                  // already at the smallest size
      {{0, 0, 800, 600}, CGRect(40, 40, 720, 520)},        // fills the area: both sides
      {{0, 100, 800, 300}, CGRect(0, 140, 800, 220)},      // at both sides only: width kept
      {{300, 0, 230, 500}, CGRect(315, 0, 200, 460)},      // held at the top
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.window));
    EXPECT_EQ(Snapper::frame(SnapAction::smaller, c.window, kSmall, kNoGaps), c.expected);
  }
  // On a wide area the smallest width is a fifth of it: 0.2 × 1440 = 288.
  EXPECT_EQ(Snapper::frame(SnapAction::smaller, {0, 0, 300, 100}, {0, 0, 1440, 900}, kNoGaps),
            CGRect(0, 0, 288, 100));
}

TEST(SnapperTests, LargerGrowsEachEdgeUpToTheArea) {
  const FrameCase cases[] = {
      {{20, 100, 200, 200}, CGRect(0, 60, 260, 280)},
      {{-50, 100, 200, 200}, CGRect(-50, 60, 240, 280)},  // an edge past the area stays put
      {{0, 0, 800, 600}, std::nullopt},
      {{0.3, 0, 799.5, 600}, std::nullopt},  // rounds to within half a point
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.window));
    EXPECT_EQ(Snapper::frame(SnapAction::larger, c.window, kSmall, kNoGaps), c.expected);
  }
}

TEST(SnapperTests, PushEdgeGrowsTowardTheSideOrShrinksFromTheOther) {
  struct Case {
    TileEdge edge;
    CGRect window;
    double outer;
    std::optional<CGRect> expected;
  };
  const Case cases[] = {
      {TileEdge::left, {100, 100, 300, 300}, 0, CGRect(60, 100, 340, 300)},
      {TileEdge::left, {30, 100, 300, 300}, 0, CGRect(0, 100, 330, 300)},  // stops at the area
      {TileEdge::left, {1, 100, 300, 300}, 0, CGRect(1, 100, 260, 300)},   // touching: shrinks
      {TileEdge::right, {500, 100, 300, 300}, 0, CGRect(540, 100, 260, 300)},
      {TileEdge::top, {100, 0, 300, 220}, 0, CGRect(100, 0, 300, 200)},      // only 20 to give
      {TileEdge::bottom, {100, 400, 300, 200}, 0, std::nullopt},             // at its smallest
      {TileEdge::left, {12, 100, 300, 300}, 10, CGRect(12, 100, 260, 300)},  // 2 short: touching
      {TileEdge::bottom, {100, 100, 300, 300}, 10, CGRect(100, 100, 300, 340)},
      {TileEdge::right, {100, 100, 300, 300}, 10, CGRect(100, 100, 340, 300)},
      {TileEdge::top, {100, 30, 300, 300}, 10, CGRect(100, 10, 300, 320)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(rawValue(c.edge)) + " " + ::testing::PrintToString(c.window));
    EXPECT_EQ(Snapper::pushEdge(c.edge, c.window, kSmall, c.outer), c.expected);
  }
}

TEST(SnapperTests, FillSpaceGrowsSidewaysThenWithinTheNewWidth) {
  const CGRect area(0, 0, 1000, 800);
  const CGRect window(100, 100, 200, 200);
  struct Case {
    const char* what;
    std::vector<CGRect> others;
    Gaps gaps;
    std::optional<CGRect> expected;
  };
  const Case cases[] = {
      {"no obstacles", {}, kNoGaps, CGRect(0, 0, 1000, 800)},
      {"overlapping window ignored", {{150, 150, 100, 100}}, kNoGaps, CGRect(0, 0, 1000, 800)},
      {"left obstacle", {{0, 0, 50, 800}}, kNoGaps, CGRect(50, 0, 950, 800)},
      {"nearest of two on the left",
       {{0, 0, 50, 800}, {0, 100, 80, 100}},
       kNoGaps,
       CGRect(80, 0, 920, 800)},
      {"touching by a point is not beside; it is above",
       {{0, 0, 50, 101}},
       kNoGaps,
       CGRect(0, 101, 1000, 699)},
      {"above, within the new width", {{500, 0, 500, 50}}, kNoGaps, CGRect(0, 50, 1000, 750)},
      {"above, but beyond the new width",
       {{600, 0, 400, 800}, {650, 0, 350, 50}},
       kNoGaps,
       CGRect(0, 0, 600, 800)},
      {"right and below",
       {{600, 0, 400, 800}, {0, 700, 700, 100}},
       kNoGaps,
       CGRect(0, 0, 600, 700)},
      {"a sliver inside the area stops nothing",
       {{-300, 0, 301, 800}},
       kNoGaps,
       CGRect(0, 0, 1000, 800)},
      {"outer gap bounds the area", {{600, 0, 400, 800}}, {10, 10}, CGRect(10, 10, 590, 780)},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Snapper::fillSpace(window, c.others, area, c.gaps), c.expected) << c.what;
  EXPECT_FALSE(Snapper::fillSpace({0, 0, 1000, 800}, {}, area, kNoGaps));
  EXPECT_FALSE(Snapper::fillSpace({1, 1, 998, 799}, {}, area, kNoGaps));  // within 2 points
}

TEST(SnapperTests, ThirdsRunAlongTheLongSide) {
  struct Case {
    CGRect visible;
    SnapAction action;
    CGRect expected;
  };
  const Case cases[] = {
      {{0, 0, 1080, 1920}, SnapAction::firstThird, {0, 0, 1080, 640}},
      {{0, 0, 1080, 1920}, SnapAction::centerThird, {0, 640, 1080, 640}},
      {{0, 0, 1080, 1920}, SnapAction::lastTwoThirds, {0, 640, 1080, 1280}},
      {{0, 0, 900, 900}, SnapAction::firstThird, {0, 0, 300, 900}},  // a square is landscape
      {{0, 0, 900, 900}, SnapAction::lastThird, {600, 0, 300, 900}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Snapper::frame(c.action, {}, c.visible, kNoGaps), c.expected) << rawValue(c.action);
}

TEST(SnapperTests, MatchingPlaceSearchesInOrderWithinTwoPoints) {
  const CGRect visible(0, 25, 1440, 875);
  const Gaps gaps{10, 10};
  struct Case {
    CGRect frame;
    std::optional<SnapAction> place;
  };
  const Case cases[] = {
      {{10, 35, 1420, 855}, SnapAction::maximize},
      {{12, 33, 1416, 859}, SnapAction::maximize},
      {{13, 35, 1417, 855}, std::nullopt},
      {{10, 35, 943, 855}, SnapAction::firstTwoThirds},  // where a second left-half press lands
      {{725, 468, 705, 422}, SnapAction::bottomRight},
      {{100, 100, 400, 300}, std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Snapper::matchingPlace(c.frame, visible, gaps), c.place)
        << ::testing::PrintToString(c.frame);
  // When two places coincide (an area too small for its gaps), the earlier one is found.
  const CGRect tiny(0, 0, 20, 20);
  EXPECT_EQ(
      Snapper::matchingPlace(*Snapper::placeFrame(SnapAction::maximize, tiny, gaps), tiny, gaps),
      SnapAction::maximize);

  std::vector<SnapAction> places(Snapper::places().begin(), Snapper::places().end());
  EXPECT_EQ(places.front(), SnapAction::maximize);
  EXPECT_EQ(places.size(), 15u);
  EXPECT_FALSE(Snapper::isPlace(SnapAction::center));
  EXPECT_FALSE(Snapper::placeFrame(SnapAction::maximizeHeight, visible, gaps));
}

TEST(SnapperTests, CarryingKeepsPlacesAndScalesFreeFrames) {
  const CGRect from(0, 25, 1440, 875);
  const CGRect to(1440, 25, 2560, 1415);
  // A window at the top right of a 1440-wide display lands at the top right of a 2560-wide one.
  EXPECT_EQ(Snapper::carried({720, 25, 720, 438}, from, to, kNoGaps), CGRect(2720, 25, 1280, 708));
  // A free window keeps its relative position and size ratio.
  EXPECT_EQ(Snapper::carried({360, 250, 360, 175}, from, to, kNoGaps), CGRect(2080, 389, 640, 283));
  // Never larger than the target.
  EXPECT_EQ(Snapper::scaled({0, 25, 2000, 2000}, from, {0, 0, 720, 500}), CGRect(0, 0, 720, 500));
  // A source without area leaves the frame as it is.
  EXPECT_EQ(Snapper::scaled({1.5, 2, 3, 4}, {0, 0, 0, 100}, to), CGRect(1.5, 2, 3, 4));
}

TEST(SnapperTests, PlannerActionsHaveNoFrameHere) {
  for (auto action : {SnapAction::fillSpace, SnapAction::restore, SnapAction::nextDisplay,
                      SnapAction::previousDisplay})
    EXPECT_FALSE(Snapper::frame(action, {0, 0, 100, 100}, kSmall, kNoGaps)) << rawValue(action);
  EXPECT_EQ(Snapper::moveEdge(SnapAction::moveUp), TileEdge::top);
  EXPECT_EQ(Snapper::moveEdge(SnapAction::moveRight), TileEdge::right);
  EXPECT_FALSE(Snapper::moveEdge(SnapAction::leftHalf));
}

}  // namespace
}  // namespace kestles
