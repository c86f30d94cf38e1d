#include <gtest/gtest.h>

#include <vector>

#include "tests/x11/support/AppDesk.hpp"

namespace kestles {
namespace {

using testing::allApart;
using testing::AppDesk;
using testing::Frame;
using testing::TestWindows;
using testing::XSession;
using namespace std::chrono_literals;

TEST(AppEndToEndTests, TilesSnapsAndPutsEveryWindowBack) {
  auto desk = AppDesk::start();
  if (!desk) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto first = desk->session().openWindows({"--pos", "40,60", "--size", "400x300"});
  auto second = desk->session().openWindows({"--pos", "120,140", "--size", "400x300"});
  auto third = desk->session().openWindows({"--pos", "200,220", "--size", "400x300"});
  std::vector<xcb_window_t> windows{first.id(), second.id(), third.id()};
  auto before = desk->frames(windows);
  ASSERT_FALSE(allApart(before));

  ASSERT_EQ(desk->kestles({"tile"}), 0);
  EXPECT_TRUE(desk->waitForFrames(windows, allApart)) << "tiled windows don’t overlap";
  ASSERT_EQ(desk->kestles({"undo"}), 0);
  EXPECT_TRUE(desk->waitForFrames(windows, [&](const auto& now) { return now == before; }));

  // The third window opened last has the focus.
  ASSERT_EQ(desk->kestles({"snap", "left-half"}), 0);
  EXPECT_TRUE(desk->waitForFrames({third.id()}, [](const auto& now) {
    return now[0].x < 40 && now[0].width <= 640 && now[0].width > 500 && now[0].height > 600;
  }));
  ASSERT_EQ(desk->kestles({"undo"}), 0);
  EXPECT_TRUE(desk->waitForFrames(windows, [&](const auto& now) { return now == before; }));
}

TEST(AppEndToEndTests, KeepTiledTakesInANewWindowAndClosesTheGapOfAGoneOne) {
  auto desk = AppDesk::start();
  if (!desk) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto first = desk->session().openWindows({"--pos", "40,60", "--size", "400x300"});
  auto second = desk->session().openWindows({"--pos", "120,140", "--size", "400x300"});
  ASSERT_EQ(desk->kestles({"keep-tiled", "on"}), 0);
  std::vector<xcb_window_t> windows{first.id(), second.id()};
  ASSERT_TRUE(desk->waitForSettledFrames(windows, allApart));

  auto third = desk->session().openWindows({"--pos", "300,300", "--size", "300x200"});
  windows.push_back(third.id());
  EXPECT_TRUE(desk->waitForFrames(windows, [](const auto& now) {
    return allApart(now) && now[2].width != 300;
  })) << "the new window gets a tile of its own";

  auto tiled = desk->frames({first.id(), second.id()});
  third.process->stop();
  EXPECT_TRUE(desk->waitForFrames({first.id(), second.id()}, [&](const auto& now) {
    return now != tiled;
  })) << "the windows left fill the closed one’s tile";
}

// A full-screen window is taken out of full screen before it is snapped: the app waits for
// the window manager to announce it left, then plans the snap again on the desktop as it is.
TEST(AppEndToEndTests, AFullScreenWindowLeavesFullScreenAndIsSnapped) {
  auto desk = AppDesk::start();
  if (!desk) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto window = desk->session().openWindows({"--pos", "120,140", "--size", "400x300"});
  desk->session().changeState(window.id(), 1, "_NET_WM_STATE_FULLSCREEN");
  ASSERT_TRUE(desk->session().waitUntil(
      [&] { return desk->session().hasState(window.id(), "_NET_WM_STATE_FULLSCREEN"); }));

  ASSERT_EQ(desk->kestles({"snap", "left-half"}), 0);

  EXPECT_TRUE(desk->waitForFrames({window.id()}, [](const auto& now) {
    return now[0].x < 40 && now[0].width <= 640 && now[0].width > 500 && now[0].height > 600;
  })) << "the left half";
  EXPECT_FALSE(desk->session().hasState(window.id(), "_NET_WM_STATE_FULLSCREEN"));
}

}  // namespace
}  // namespace kestles
