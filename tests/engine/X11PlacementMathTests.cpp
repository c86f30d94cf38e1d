#include <gtest/gtest.h>

#include "KestlesEngine/x11/X11Placement.hpp"

namespace kestles::x11 {
namespace {

ClientWindow client(SizeHints hints, Extents extents = {1, 1, 20, 5}) {
  ClientWindow c;
  c.hints = hints;
  c.extents = extents;
  return c;
}

TEST(X11PlacementMathTests, RequestFollowsTheClientsGravity) {
  const Box target{100, 200, 600, 400};
  struct Case {
    std::uint32_t gravity;
    Box request;
  };
  const Case cases[] = {
      {XCB_GRAVITY_NORTH_WEST, {100, 200, 598, 375}},
      {XCB_GRAVITY_STATIC, {101, 220, 598, 375}},  // the client's own origin
      {XCB_GRAVITY_NORTH_EAST, {102, 200, 598, 375}},
      {XCB_GRAVITY_CENTER, {101, 212, 598, 375}},
      {XCB_GRAVITY_SOUTH_WEST, {100, 225, 598, 375}},
  };
  for (const auto& c : cases) {
    SizeHints hints;
    hints.gravity = c.gravity;
    EXPECT_EQ(requestFor(client(hints), target), c.request) << c.gravity;
  }
}

TEST(X11PlacementMathTests, ExpectedLandingAppliesHintsLikeTheManager) {
  const Box target{0, 0, 600, 400};
  SizeHints none;
  SizeHints minMax;
  minMax.minWidth = 300;
  minMax.minHeight = 200;
  minMax.maxWidth = 500;
  minMax.maxHeight = 350;
  SizeHints increments;  // xterm: 6 x 13 cells over a 4 x 4 base
  increments.widthIncrement = 6;
  increments.heightIncrement = 13;
  increments.baseWidth = 4;
  increments.baseHeight = 4;
  SizeHints fixed = minMax;
  fixed.maxWidth = 300;
  fixed.maxHeight = 200;
  struct Case {
    SizeHints hints;
    bool manager;
    Box landing;
  };
  const Case cases[] = {
      {none, true, {0, 0, 600, 400}},
      {minMax, true, {0, 0, 502, 375}},      // client 500 x 350 plus the frame
      {increments, true, {0, 0, 600, 393}},  // 598 = 4 + 99 * 6; 375 -> 368 = 4 + 28 * 13
      {fixed, true, {0, 0, 302, 225}},
      {minMax, false, target},  // nothing enforces hints without a manager
  };
  for (const auto& c : cases)
    EXPECT_EQ(expectedLanding(client(c.hints), target, c.manager), c.landing) << c.hints.maxWidth;
}

}  // namespace
}  // namespace kestles::x11
