#include "KestlesEngine/x11/X11Placement.hpp"

#include <gtest/gtest.h>

#include "tests/x11/support/PlacementCases.hpp"
#include "tests/x11/support/XSession.hpp"

namespace kestles::x11 {

void PrintTo(const Box& box, std::ostream* out) {
  *out << box.x << "," << box.y << " " << box.width << "x" << box.height;
}

namespace {

using testing::Frame;
using testing::XSession;

Frame frameOf(const Box& box) {
  return {box.x, box.y, box.width, box.height};
}

std::optional<Box> placeOne(X11Connection& connection, xcb_window_t window, Box target) {
  Placement placement{window, target};
  return placeWindows(connection, std::span(&placement, 1)).front();
}

TEST(X11PlacementTests, LandsWhereHintsAllowUnderAWindowManager) {
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto connection = X11Connection::open(session->display());
  ASSERT_TRUE(connection);
  for (const auto& c : testing::kManagedPlacements) {
    auto flags = c.flags;
    flags.insert(flags.end(), {"--pos", "5,5"});
    auto windows = session->openWindows(flags);
    ASSERT_EQ(windows.ids.size(), 1u) << c.name;
    Box target{c.target.x, c.target.y, c.target.width, c.target.height};
    // The size foreseen before the request is the size the manager then gives.
    Placement placement{windows.id(), target};
    auto foreseen = foreseeLandings(*connection, std::span(&placement, 1)).front();
    auto landed = placeOne(*connection, windows.id(), target);
    ASSERT_TRUE(landed) << c.name;
    auto landing = testing::landingOf(c, session->cardinals(windows.id(), "_NET_FRAME_EXTENTS"),
                                      *session->windowManager());
    EXPECT_EQ(frameOf(*landed), landing) << c.name;
    ASSERT_TRUE(foreseen) << c.name;
    auto sizeOf = [](const Box& box) { return std::pair(box.width, box.height); };
    auto foreseenSizes = {sizeOf(foreseen->rounded), sizeOf(foreseen->unrounded)};
    EXPECT_NE(std::ranges::find(foreseenSizes, sizeOf(*landed)), foreseenSizes.end()) << c.name;
    EXPECT_EQ(session->frameOf(windows.id()), landing) << c.name;
  }
}

// Regression: a StaticGravity window placed in NorthWest coordinates was stored by the
// manager in mixed coordinates and jumped when full screen was undone.
TEST(X11PlacementTests, StaticGravityWindowStaysAfterFullScreen) {
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto connection = X11Connection::open(session->display());
  auto windows = session->openWindows({"--gravity", "10", "--pos", "5,5"});
  const Box target{200, 150, 640, 480};
  ASSERT_EQ(placeOne(*connection, windows.id(), target), target);
  session->changeState(windows.id(), 1, "_NET_WM_STATE_FULLSCREEN");
  ASSERT_TRUE(session->waitUntil([&] {
    return session->frameOf(windows.id()) == Frame{0, 0, 1920, 1080};
  }));
  session->changeState(windows.id(), 0, "_NET_WM_STATE_FULLSCREEN");
  ASSERT_TRUE(session->waitUntil(
      [&] { return !session->hasState(windows.id(), "_NET_WM_STATE_FULLSCREEN"); }));
  EXPECT_TRUE(session->waitUntil([&] { return session->frameOf(windows.id()) == frameOf(target); }))
      << "came back at " << session->frameOf(windows.id())->x << ","
      << session->frameOf(windows.id())->y;
}

TEST(X11PlacementTests, MaximizedWindowIsReleasedFirst) {
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto connection = X11Connection::open(session->display());
  auto windows = session->openWindows({"--pos", "5,5"});
  session->changeState(windows.id(), 1, "_NET_WM_STATE_MAXIMIZED_VERT",
                       "_NET_WM_STATE_MAXIMIZED_HORZ");
  ASSERT_TRUE(session->waitUntil(
      [&] { return session->hasState(windows.id(), "_NET_WM_STATE_MAXIMIZED_HORZ"); }));
  const Box target{400, 300, 700, 500};
  EXPECT_EQ(placeOne(*connection, windows.id(), target), target);
  EXPECT_EQ(session->frameOf(windows.id()), frameOf(target));
  EXPECT_FALSE(session->hasState(windows.id(), "_NET_WM_STATE_MAXIMIZED_HORZ"));
}

TEST(X11PlacementTests, RealXtermSnapsToItsCells) {
  auto session = XSession::start({});
  if (!session || !testing::testProgramExists("xterm"))
    GTEST_SKIP() << "Xvfb, openbox or xterm is missing";
  auto xterm = session->openXterm({"-geometry", "80x24+10+10"});
  ASSERT_EQ(xterm.ids.size(), 1u);
  auto window = xterm.id();
  auto connection = X11Connection::open(session->display());
  auto landed = placeOne(*connection, window, {100, 100, 600, 400});
  ASSERT_TRUE(landed);
  EXPECT_EQ(session->frameOf(window), frameOf(*landed));
  // Within one cell of what was asked, never larger.
  EXPECT_LE(landed->width, 600);
  EXPECT_GT(landed->width, 600 - 6);
  EXPECT_LE(landed->height, 400);
  EXPECT_GT(landed->height, 400 - 13);
  EXPECT_EQ(landed->x, 100);
  EXPECT_EQ(landed->y, 100);
}

TEST(X11PlacementTests, PlacesSeveralWindowsAtOnceAndSkipsVanishedOnes) {
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto connection = X11Connection::open(session->display());
  auto windows = session->openWindows({"--count", "3", "--pos", "5,5"});
  ASSERT_EQ(windows.ids.size(), 3u);
  auto gone = session->openWindows({"--pos", "5,5"});
  auto goneID = gone.id();
  gone.process->stop();
  ASSERT_TRUE(session->waitUntil([&] { return !session->frameOf(goneID); }));
  std::vector<Placement> placements;
  for (std::size_t i = 0; i < 3; ++i)
    placements.push_back({windows.ids[i], {std::int32_t(i) * 600, 100, 600, 500}});
  placements.push_back({goneID, {0, 0, 100, 100}});
  auto landed = placeWindows(*connection, placements);
  ASSERT_EQ(landed.size(), 4u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(landed[i], placements[i].frame) << i;
    EXPECT_EQ(session->frameOf(windows.ids[i]), frameOf(placements[i].frame)) << i;
  }
  EXPECT_FALSE(landed[3]);
  // Partly off screen (a manager may keep part of it on screen): the report is where it is.
  auto offScreen = placeOne(*connection, windows.ids[1], {-390, -300, 500, 400});
  ASSERT_TRUE(offScreen);
  EXPECT_EQ(session->frameOf(windows.ids[1]), frameOf(*offScreen));
  // Asking for the frame a window already has changes nothing and still answers.
  EXPECT_EQ(placeOne(*connection, windows.ids[0], placements[0].frame), placements[0].frame);
}

TEST(X11PlacementTests, WithoutAWindowManagerTheWindowItselfMoves) {
  auto session = XSession::start({.windowManager = false});
  if (!session) GTEST_SKIP() << "Xvfb is missing";
  auto connection = X11Connection::open(session->display());
  struct Case {
    std::vector<std::string> flags;
    Box target;
  };
  // Nothing enforces hints, gravity plays no part, and the border is part of the outer frame.
  const Case cases[] = {
      {{}, {100, 120, 500, 400}},
      {{"--gravity", "10"}, {300, 250, 640, 480}},
      {{"--min", "300x200", "--max", "500x350"}, {50, 50, 900, 900}},
      {{"--border", "4"}, {10, 20, 400, 300}},
  };
  for (const auto& c : cases) {
    auto windows = session->openWindows(c.flags);
    ASSERT_EQ(windows.ids.size(), 1u);
    EXPECT_EQ(placeOne(*connection, windows.id(), c.target), c.target) << c.flags.size();
    EXPECT_EQ(session->frameOf(windows.id()), frameOf(c.target)) << c.flags.size();
  }
}

}  // namespace
}  // namespace kestles::x11
