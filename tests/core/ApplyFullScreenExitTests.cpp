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

TEST(ApplyFullScreenExitTests, SettledWhenTwoLooksAfterTheSwitchAgree) {
  FullScreen::Exit exit{{31}, false, std::nullopt};
  EXPECT_FALSE(exit.isSettled(leaving(false), 0.5));
  EXPECT_FALSE(exit.last);  // too early to look

  exit.hasSwitched = true;
  EXPECT_FALSE(exit.isSettled(leaving(false), 0.6));  // first look
  ASSERT_TRUE(exit.last);
  // The exit window and the other window of its display are seen; WIDE's is not.
  EXPECT_EQ(exit.last->size(), 2u);
  EXPECT_EQ(exit.last->at(31), (FullScreen::Exit::Seen{false, false, {0, 0, 1512, 982}}));
  EXPECT_TRUE(exit.isSettled(leaving(false), 0.7));
}

TEST(ApplyFullScreenExitTests, NotSettledWhileStillFullScreenOrMoving) {
  FullScreen::Exit exit{{31}, false, std::nullopt};
  // Without a switch, looking starts at 1.5 s.
  EXPECT_FALSE(exit.isSettled(leaving(true), 1.5));
  EXPECT_TRUE(exit.last);
  EXPECT_FALSE(exit.isSettled(leaving(true), 1.7));  // the same look, but still full screen
  EXPECT_FALSE(exit.isSettled(leaving(false), 1.9));
  EXPECT_FALSE(exit.isSettled(leaving(false, {0, 0, 1400, 900}), 2.1));  // still shrinking
  EXPECT_TRUE(exit.isSettled(leaving(false, {0, 0, 1400, 900}), 2.3));

  // The world's full-screen map counts as much as the window's own flag.
  FullScreen::Exit mapped{{31}, true, std::nullopt};
  auto world = leaving(false);
  world.fullScreen["LAPTOP"] = 31;
  EXPECT_FALSE(mapped.isSettled(world, 0.1));
  EXPECT_FALSE(mapped.isSettled(world, 0.2));
}

}  // namespace
}  // namespace kestles
