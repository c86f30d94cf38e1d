#include "KestlesCore/apply/FullScreen.hpp"

#include <gtest/gtest.h>

#include "ApplyTestSupport.hpp"

namespace kestles {
namespace {

using namespace apply_testing;

/// Terminal 31 leaving full screen on the laptop, Code 11 beside it, Safari 21 on WIDE.
World leaving(bool stillFullScreen, CGRect frame = {0, 0, 1512, 982}) {
  auto world = worldOf({laptop(), wide()});
  world.windows = {window(31, kTerminal, 103, frame), window(11, kCode, 101, {10, 10, 500, 500}),
                   window(21, kSafari, 102, {1600, 10, 500, 500})};
  world.windows[0].isFullScreen = stillFullScreen;
  return world;
}

TEST(ApplyFullScreenExitTests, SettledOnceOutAfterASwitchOrOneAndAHalfSeconds) {
  struct Row {
    bool hasSwitched;
    bool stillFullScreen;
    double elapsed;
    bool settled;
  };
  const Row rows[] = {
      {false, false, 0.5, false},  // out, but too early without a switch
      {true, false, 0.5, true},    // out after a switch
      {true, true, 0.5, false},    // a switch, but still full screen
      {false, false, 1.5, true},   // out at 1.5 s without a switch
      {false, true, 2.9, false},   // still full screen
  };
  for (const auto& row : rows) {
    FullScreen::Exit exit{{31}, row.hasSwitched};
    EXPECT_EQ(exit.isSettled(leaving(row.stillFullScreen), row.elapsed), row.settled)
        << row.hasSwitched << " " << row.stillFullScreen << " " << row.elapsed;
  }
  // The world's full-screen map counts as much as the window's own flag.
  FullScreen::Exit mapped{{31}, true};
  auto world = leaving(false);
  world.fullScreen["LAPTOP"] = 31;
  EXPECT_FALSE(mapped.isSettled(world, 2));
  // Other windows still full screen do not hold the exit up.
  world.fullScreen["LAPTOP"] = 11;
  EXPECT_TRUE(mapped.isSettled(world, 2));
}

}  // namespace
}  // namespace kestles
