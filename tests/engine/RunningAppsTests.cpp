#include "KestlesEngine/engine/RunningApps.hpp"

#include <gtest/gtest.h>

#include "EngineDesk.hpp"
#include "KestlesEngine/engine/Launcher.hpp"

namespace kestles::engine {
namespace {

using namespace testing;
using platform::seconds;

struct AppsDesk {
  AppsDesk()
      : sim(smallWorld(), clock), apps(sim.workspace(), log, clock), launcher(sim.opener()) {}
  sim::FakeClock clock;
  sim::MemoryLog log;
  sim::SimDesktop sim;
  RunningApps apps;
  Launcher launcher;
};

TEST(RunningAppsTests, AnAppWithoutAPidKeepsTheOneItHadOrIsSkippedAndLoggedOnce) {
  AppsDesk desk;
  EXPECT_EQ(desk.apps.list(), smallWorld().apps);
  // Listed without a pid: the pid seen before serves while its process lives.
  desk.sim.dropPID(kViewer);
  EXPECT_EQ(desk.apps.list(), smallWorld().apps);
  EXPECT_TRUE(desk.log.records().empty());

  // An app first listed without a pid is left out and logged once, however often listed.
  AppsDesk fresh;
  fresh.sim.dropPID(kViewer);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(fresh.apps.list(), std::vector<AppSnapshot>{smallWorld().apps[0]});
  EXPECT_EQ(
      fresh.log.records(),
      (std::vector<platform::LogRecord>{{platform::LogLevel::notice, platform::LogCategory::engine,
                                         "Viewer has no pid; skipping it"}}));
}

TEST(RunningAppsTests, AppsSeenWithinThirtySecondsAreRecent) {
  AppsDesk desk;
  desk.apps.list();
  desk.clock.advance(seconds(30));
  EXPECT_TRUE(desk.apps.isRecent("com.example.viewer"));
  desk.clock.advance(seconds(0.1));
  EXPECT_FALSE(desk.apps.isRecent("com.example.viewer"));
  EXPECT_FALSE(desk.apps.isRecent("com.example.unknown"));
  EXPECT_TRUE(desk.apps.isAlive(kViewer));
  desk.sim.quit(kViewer);
  EXPECT_FALSE(desk.apps.isAlive(kViewer));
}

TEST(RunningAppsTests, TheLauncherOpensInstalledAppsInTheBackground) {
  AppsDesk desk;
  AppRef notes{"com.example.notes", "Notes"};
  desk.sim.install(notes, {303, {}, std::nullopt, false});
  EXPECT_EQ(desk.launcher.open(notes), std::nullopt);
  auto calls = desk.sim.calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].name, "/Applications/Notes.app");
  EXPECT_EQ(calls[0].value, platform::AXValue{false});  // not activated
  EXPECT_EQ(desk.apps.list().size(), 3u);
  EXPECT_EQ(desk.launcher.open({"com.example.gone", "Gone"}), "Gone isn’t installed");
}

}  // namespace
}  // namespace kestles::engine
