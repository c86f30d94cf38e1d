#include "KestlesEngine/x11/X11Displays.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <condition_variable>
#include <mutex>

#include "KestlesEngine/engine/WindowWatcher.hpp"
#include "KestlesEngine/platform/ThreadTime.hpp"
#include "KestlesEngine/sim/FakeTime.hpp"
#include "KestlesEngine/sim/MemoryLog.hpp"
#include "KestlesEngine/x11/X11Layer.hpp"
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

/// Counts the watcher's display changes and waits for them with a bound.
class DisplayChanges {
 public:
  void add() {
    std::lock_guard lock(mutex_);
    ++count_;
    changed_.notify_all();
  }
  /// Waits until more than `seen` changes came; false after five seconds without.
  bool waitBeyond(int seen) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(5), [&] { return count_ > seen; });
  }
  int count() {
    std::lock_guard lock(mutex_);
    return count_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int count_ = 0;
};

// The displays were looked at once a second, so a monitor that came or went was seen up to a
// second late and the app woke every second to look. Monitors set with xrandr arrive as a
// ConfigureNotify of the root only, and must reach the watcher without any timer running.
TEST(X11DisplaysEndToEnd, MonitorsSetAndDeletedReachTheWatcherWithoutATimer) {
  auto session = XSession::start({.width = 3840, .height = 1080});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto layer = X11Layer::open(session->display());
  ASSERT_TRUE(layer);
  auto parts = layer->parts();
  sim::MemoryLog log;
  sim::FakeClock timers;  // never advanced: a change that waited for a timer never comes
  platform::SerialQueue thread;
  engine::WindowWatcher watcher({parts.ax, parts.workspace, parts.screens, log, timers, thread});
  DisplayChanges changes;
  watcher.start([&](engine::WindowWatcher::Change change) {
    if (change == engine::WindowWatcher::Change::displays) changes.add();
  });
  auto names = [&] {
    std::vector<std::string> ids;
    for (const auto& display : parts.screens.screens())
      ids.push_back(display.id);
    return ids;
  };
  ASSERT_EQ(names(), std::vector<std::string>{"screen"});

  for (const auto& [argv, expected] :
       std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>>{
           {{"xrandr", "--setmonitor", "MON-A", "1920/508x1080/286+0+0", "screen"}, {"screen"}},
           {{"xrandr", "--setmonitor", "MON-B", "1920/508x1080/286+1920+0", "none"},
            {"screen", "MON-B"}},
           {{"xrandr", "--delmonitor", "MON-B"}, {"screen"}}}) {
    int seen = changes.count();
    ASSERT_EQ(session->run(argv), 0) << argv[1] << " " << argv[2];
    ASSERT_TRUE(changes.waitBeyond(seen)) << argv[1] << " " << argv[2] << " was not heard";
    EXPECT_EQ(names(), expected) << argv[1] << " " << argv[2];
  }
  EXPECT_EQ(timers.pendingTimers(), 0u);
  watcher.stop();
}

}  // namespace
}  // namespace kestles::x11
