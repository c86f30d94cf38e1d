#include "KestlesEngine/engine/WindowWatcher.hpp"

#include <gtest/gtest.h>

#include "EngineDesk.hpp"

namespace kestles::engine {
namespace {

using namespace testing;
using platform::seconds;
using Change = WindowWatcher::Change;
using Kind = platform::WorkspaceNotification::Kind;

struct WatchDesk {
  WatchDesk()
      : sim(smallWorld(), clock),
        watcher({sim.ax(), sim.workspace(), sim.screens(), log, clock, thread}) {
    sim.setOwnPID(kEditor);
  }
  void start() {
    watcher.start([this](Change change) { changes.push_back({change, clock.now()}); });
  }
  std::vector<Change> heard() {
    std::vector<Change> kinds;
    for (const auto& [change, at] : changes)
      kinds.push_back(change);
    return kinds;
  }
  int attempts(std::int32_t pid) {
    int count = 0;
    for (const auto& call : sim.calls())
      if (call.kind == sim::SimCall::Kind::createObserver && call.pid == pid) ++count;
    return count;
  }

  sim::FakeClock clock;
  sim::InlineExecutor thread;
  sim::MemoryLog log;
  sim::SimDesktop sim;
  WindowWatcher watcher;
  std::vector<std::pair<Change, platform::ContinuousInstant>> changes;
};

TEST(WindowWatcherTests, WatchesEveryOrdinaryAppButThisProcess) {
  WatchDesk desk;
  desk.start();
  EXPECT_EQ(desk.sim.observerCounts(), (std::map<std::int32_t, int>{{kViewer, 1}}));
  std::vector<std::pair<std::uint32_t, std::string>> added;
  for (const auto& call : desk.sim.calls())
    if (call.kind == sim::SimCall::Kind::addNotification) added.push_back({call.window, call.name});
  EXPECT_EQ(added,
            (std::vector<std::pair<std::uint32_t, std::string>>{{0, "AXWindowCreated"},
                                                                {0, "AXWindowMiniaturized"},
                                                                {0, "AXWindowDeminiaturized"},
                                                                {21, "AXUIElementDestroyed"}}));
  EXPECT_EQ(desk.log.records(), (std::vector<platform::LogRecord>{{platform::LogLevel::info,
                                                                   platform::LogCategory::engine,
                                                                   "Watching windows of 1 apps"}}));
  EXPECT_TRUE(desk.changes.empty());
}

TEST(WindowWatcherTests, CoalescesABurstIntoOneChangeATenthOfASecondLater) {
  WatchDesk desk;
  desk.start();
  auto started = desk.clock.now();
  for (int i = 0; i < 10; ++i) {
    desk.sim.notify(kViewer, "AXWindowMiniaturized");
    desk.clock.advance(seconds(0.009));
  }
  desk.clock.advance(seconds(0.2));
  ASSERT_EQ(desk.heard(), std::vector<Change>{Change::windows});
  EXPECT_EQ(desk.changes[0].second - started, seconds(0.1));
  // A new window is watched for its end; its arrival is a change of its own.
  desk.sim.addWindow(window(22, kViewer, {0, 0, 300, 300}, 0));
  desk.clock.advance(seconds(0.1));
  EXPECT_EQ(desk.heard(), (std::vector<Change>{Change::windows, Change::windows}));
  desk.sim.notify(kViewer, "AXUIElementDestroyed", 22);
  desk.clock.advance(seconds(0.1));
  EXPECT_EQ(desk.heard().size(), 3u);
}

TEST(WindowWatcherTests, RetriesAStartingAppUpToTheEighthAttempt) {
  struct Case {
    int refusals;
    int attempts;
    std::vector<Change> changes;
    std::vector<std::string> logged;
  };
  const Case cases[] = {
      // The launch itself is a change; a watch that succeeds after retries is another.
      {3, 4, {Change::windows, Change::windows}, {}},
      {8, 9, {Change::windows, Change::windows}, {}},
      {9, 9, {Change::windows}, {"Can't watch the windows of 303: [-25204, -25204, -25204]"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.refusals);
    WatchDesk desk;
    desk.start();
    desk.sim.refuseObservers(303, c.refusals);
    desk.sim.install({"com.example.notes", "Notes"}, {303, {}, std::nullopt, false});
    desk.log.clear();
    desk.sim.opener().open("/Applications/Notes.app", false);
    desk.clock.advance(seconds(10));
    EXPECT_EQ(desk.attempts(303), c.attempts);
    EXPECT_EQ(desk.heard(), c.changes);
    EXPECT_EQ(desk.changes[0].second.sinceStart, seconds(0.1));  // the launch, coalesced
    if (c.changes.size() == 2) {                                 // half a second between attempts
      EXPECT_EQ(desk.changes[1].second.sinceStart, seconds(0.5) * c.refusals);
    }
    std::vector<std::string> logged;
    for (const auto& record : desk.log.records())
      logged.push_back(record.message);
    EXPECT_EQ(logged, c.logged);
    EXPECT_EQ(desk.sim.observerCounts().contains(303), c.logged.empty());
  }
}

TEST(WindowWatcherTests, FollowsTheWorkspace) {
  WatchDesk desk;
  desk.start();
  desk.sim.post({Kind::activeSpaceDidChange, std::nullopt});
  desk.sim.post({Kind::didHide, platform::RunningApplication{}});
  desk.sim.post({Kind::didUnhide, platform::RunningApplication{}});
  EXPECT_EQ(desk.heard(), (std::vector<Change>{Change::space, Change::windows, Change::windows}));
  // This process launching again is never watched; a quitting app stops being watched.
  platform::RunningApplication self{1, kEditor, "com.example.editor", "Editor"};
  desk.sim.post({Kind::didLaunch, self});
  desk.sim.quit(kViewer);
  EXPECT_TRUE(desk.sim.observerCounts().empty());
}

TEST(WindowWatcherTests, ReportsNothingAfterStopping) {
  WatchDesk desk;
  desk.start();
  desk.sim.refuseObservers(303, 2);
  desk.sim.install({"com.example.notes", "Notes"}, {303, {}, std::nullopt, false});
  desk.sim.opener().open("/Applications/Notes.app", false);
  desk.sim.notify(kViewer, "AXWindowCreated");
  desk.watcher.stop();
  desk.clock.advance(seconds(5));
  desk.sim.post({Kind::activeSpaceDidChange, std::nullopt});
  EXPECT_TRUE(desk.changes.empty());
  EXPECT_TRUE(desk.sim.observerCounts().empty());
  EXPECT_EQ(desk.attempts(303), 1);
  EXPECT_EQ(desk.clock.pendingTimers(), 0u);
}

}  // namespace
}  // namespace kestles::engine
