#include "KestlesEngine/x11/X11Displays.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/x11/support/XSession.hpp"

namespace kestles::x11 {
namespace {

using testing::XSession;

TEST(X11DisplaysEndToEnd, PlainXvfbHasOneMainScreen) {
  auto session = XSession::start({.windowManager = false});
  if (!session) GTEST_SKIP() << "Xvfb is missing";
  auto connection = X11Connection::open(session->display());
  auto displays = readDisplays(*connection);
  ASSERT_EQ(displays.size(), 1u);
  EXPECT_EQ(displays[0],
            (DisplayInfo{"screen", "screen", {0, 0, 1920, 1080}, {0, 0, 1920, 1080}, false, true}));
}

TEST(X11DisplaysEndToEnd, ThreeMonitorsWithAPrimaryABuiltInPanelAndStruts) {
  auto session = XSession::start({.width = 5760, .height = 1440});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  for (auto argv : std::vector<std::vector<std::string>>{
           {"xrandr", "--setmonitor", "MON-A", "1920/508x1080/286+0+0", "screen"},
           {"xrandr", "--setmonitor", "*MON-B", "1280/338x1024/270+1920+0", "none"},
           {"xrandr", "--setmonitor", "eDP-1", "2560/344x1440/194+3200+0", "none"}})
    ASSERT_EQ(session->run(argv), 0) << argv[2];
  // A panel across the top of MON-A and one along the bottom of the built-in panel.
  auto top = session->openWindows({"--type", "dock", "--pos", "0,0", "--size", "1920x30", "--strut",
                                   "0,0,30,0,0,0,0,0,0,1919,0,0"});
  auto bottom = session->openWindows({"--type", "dock", "--pos", "3200,1400", "--size", "2560x40",
                                      "--strut", "0,0,0,40,0,0,0,0,0,0,3200,5759"});
  auto connection = X11Connection::open(session->display());
  auto displays = readDisplays(*connection);
  // The server lists the primary first. MON-A takes its output's name; the others have no
  // output and keep their own.
  std::vector<DisplayInfo> expected = {
      {"MON-B", "MON-B", {1920, 0, 1280, 1024}, {1920, 0, 1280, 1024}, false, true},
      {"screen", "screen", {0, 0, 1920, 1080}, {0, 30, 1920, 1050}, false, false},
      {"eDP-1", "eDP-1", {3200, 0, 2560, 1440}, {3200, 0, 2560, 1400}, true, false},
  };
  EXPECT_EQ(nlohmann::json(displays).dump(), nlohmann::json(expected).dump());
}

}  // namespace
}  // namespace kestles::x11
