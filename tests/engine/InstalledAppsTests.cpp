#include "KestlesEngine/engine/InstalledApps.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "KestlesEngine/sim/FakeTime.hpp"
#include "KestlesEngine/sim/SimAppCatalog.hpp"

namespace kestles::engine {
namespace {

using platform::CatalogApp;
using platform::RunningApplication;
using platform::seconds;

/// A workspace that lists the apps it is given and nothing else.
class ListedWorkspace final : public platform::Workspace {
 public:
  std::vector<RunningApplication> running;
  std::vector<RunningApplication> runningApplications() override { return running; }
  std::int32_t ownPID() override { return 1; }
  bool processExists(std::int32_t) override { return true; }
  std::uint64_t observe(Observer) override { return 0; }
  void stopObserving(std::uint64_t) override {}
};

RunningApplication running(std::string bundleID, std::string name, bool regular = true) {
  return {0, 100, std::move(bundleID), std::move(name), false, regular, false};
}

struct CatalogDesk {
  sim::FakeClock clock;
  sim::SimAppCatalog catalog;
  ListedWorkspace workspace;
  InstalledApps apps{catalog, workspace, clock};
};

TEST(InstalledAppsTests, AListYoungerThanSixtySecondsIsHandedOutWithoutAScan) {
  CatalogDesk desk;
  desk.catalog.setApps({{"com.example.notes", "Notes", false}});
  auto first = desk.apps.list();
  desk.catalog.setApps({{"com.example.mail", "Mail", false}});
  desk.workspace.running = {running("com.example.viewer", "Viewer")};
  desk.clock.advance(seconds(59.9));
  EXPECT_EQ(desk.apps.list(), first);
  EXPECT_EQ(desk.catalog.scans(), 1);

  // At 60 s the list is stale: a new scan, with the running apps of now.
  desk.clock.advance(seconds(0.1));
  EXPECT_EQ(desk.apps.list(),
            (std::vector<AppRef>{{"com.example.mail", "Mail"}, {"com.example.viewer", "Viewer"}}));
  EXPECT_EQ(desk.catalog.scans(), 2);
  ASSERT_TRUE(desk.apps.cached());
  EXPECT_EQ(desk.apps.cached()->at, desk.clock.now());
}

TEST(InstalledAppsTests, MergesRunningAppsLeavesOutAgentsAndItselfAndSortsByName) {
  CatalogDesk desk;
  desk.catalog.setApps({
      {"com.example.app10", "App 10", false},
      {"com.example.menu", "Menu Helper", true},  // an agent: listed only while running
      {"com.example.daemon", "Daemon", true},
      {"", "No Identifier", false},
      {"co.quillmoss.Kestles", "Kestles", false},
      {"com.example.app9", "app 9", false},
      {"com.example.eclair", "Éclair", false},
      {"com.example.app9", "App 9 (older copy)", false},  // a later folder's copy
  });
  desk.workspace.running = {
      running("com.example.menu", "Menu Helper"),
      running("com.example.daemon", "Daemon", false),  // not a regular app
      running("com.example.app10", "Renamed While Running"),
      running("co.quillmoss.Kestles", "Kestles"),
      running("com.example.zed", "zed"),
      {0, 7, std::nullopt, "Nameless", false, true, false},
      {0, 8, "com.example.quit", "Quit", false, true, true},
      {0, 9, "com.example.untitled", std::nullopt, false, true, false},
  };
  EXPECT_EQ(desk.apps.list(), (std::vector<AppRef>{
                                  {"com.example.app9", "app 9"},
                                  {"com.example.app10", "App 10"},
                                  {"com.example.untitled", "com.example.untitled"},
                                  {"com.example.eclair", "Éclair"},
                                  {"com.example.menu", "Menu Helper"},
                                  {"com.example.zed", "zed"},
                              }));
}

/// A catalog whose scan takes a while of real time, counting scans under way at once.
class SlowCatalog final : public platform::AppCatalog {
 public:
  std::atomic<int> scans = 0;
  std::atomic<int> atOnce = 0;
  std::atomic<int> mostAtOnce = 0;
  std::vector<CatalogApp> installedApps() override {
    ++scans;
    mostAtOnce = std::max(mostAtOnce.load(), ++atOnce);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    --atOnce;
    return {{"com.example.notes", "Notes", false}};
  }
  std::string ownBundleID() override { return "co.quillmoss.Kestles"; }
};

TEST(InstalledAppsTests, CallersAtOnceShareOneScan) {
  sim::FakeClock clock;
  SlowCatalog catalog;
  ListedWorkspace workspace;
  InstalledApps apps(catalog, workspace, clock);
  std::vector<std::thread> callers;
  std::vector<std::vector<AppRef>> lists(4);
  for (auto& list : lists)
    callers.emplace_back([&] { list = apps.list(); });
  for (auto& caller : callers)
    caller.join();
  EXPECT_EQ(catalog.scans, 1);
  EXPECT_EQ(catalog.mostAtOnce, 1);
  for (const auto& list : lists)
    EXPECT_EQ(list, (std::vector<AppRef>{{"com.example.notes", "Notes"}}));
}

TEST(InstalledAppsTests, SortsNamesAsTheSystemComparesThem) {
  std::vector<AppRef> apps{
      {"d", "Beta"}, {"c", "alpha 2"}, {"b", "Alpha 02"}, {"a", "Alpha 10"}, {"e", "ALPHA"}};
  std::vector<AppRef> expected{
      {"e", "ALPHA"}, {"b", "Alpha 02"}, {"c", "alpha 2"}, {"a", "Alpha 10"}, {"d", "Beta"}};
  EXPECT_EQ(InstalledApps::sortedByName(apps), expected);
}

}  // namespace
}  // namespace kestles::engine
