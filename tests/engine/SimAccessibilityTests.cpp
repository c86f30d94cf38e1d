#include "KestlesEngine/sim/SimDesktop.hpp"

#include <gtest/gtest.h>

#include "EngineDesk.hpp"

namespace kestles::sim {
namespace {

using engine::testing::kEditor;
using engine::testing::kViewer;
using engine::testing::smallWorld;
using platform::seconds;
using platform::WorkspaceNotification;

TEST(SimAccessibilityTests, AnAppStopsAnsweringFromItsNthCall) {
  FakeClock clock;
  SimDesktop sim(smallWorld(), clock);
  sim.stopAnswering(kEditor, 3);
  auto app = sim.ax().application(kEditor);
  EXPECT_TRUE(sim.ax().boolean(app, "AXHidden"));
  EXPECT_TRUE(sim.ax().boolean(app, "AXFrontmost"));
  EXPECT_EQ(sim.ax().copyValue(app, "AXHidden").error, platform::ax_error::cannotComplete);
  EXPECT_EQ(sim.ax().setPosition(sim.elementOf(11), {0, 0}), platform::ax_error::cannotComplete);
  EXPECT_FALSE(sim.ax().copyValues(sim.elementOf(12), std::vector<std::string_view>{"AXSize"}));
  // The other app still answers; the typed batch read gives absent entries on failure.
  EXPECT_EQ(sim.ax().values(sim.elementOf(12), std::vector<std::string_view>{"AXSize", "AXTitle"}),
            (std::vector<std::optional<platform::AXValue>>(2)));
  EXPECT_EQ(sim.ax().size(sim.elementOf(21)), (CGSize{500, 500}));
}

// The batch keeps every single call's fault: a window that refuses a size lands at the size it
// takes, a window whose app quit fails alone, a slow app still lands, and an app that stops
// answering gives up its remaining windows without being asked again.
TEST(SimAccessibilityTests, SetsABatchOfFramesWithEachWindowsFaults) {
  auto world = smallWorld();
  world.windows[0].minimumSize = MinimumSize{900, 700};
  world.apps.push_back({303, "com.example.slow", "Slow", false});
  world.windows.push_back(engine::testing::window(31, 303, {50, 50, 300, 300}, 3));
  world.apps.push_back({404, "com.example.frozen", "Frozen", false});
  world.windows.push_back(engine::testing::window(41, 404, {60, 60, 300, 300}, 4));
  world.windows.push_back(engine::testing::window(42, 404, {70, 70, 300, 300}, 5));
  FakeClock clock;
  SimDesktop sim(world, clock);
  sim.quit(kViewer);
  sim.setCallCost(303, std::chrono::milliseconds(200));
  sim.stopAnswering(404, 2);  // answers the first size only
  auto frame = [&](std::uint32_t id, std::int32_t pid, CGRect to) {
    return platform::FrameRequest{sim.elementOf(id), pid, to, std::nullopt};
  };
  std::vector<platform::FrameRequest> batch{
      frame(11, kEditor, {0, 0, 700, 500}), frame(21, kViewer, {700, 0, 700, 500}),
      frame(31, 303, {0, 500, 400, 300}),   frame(41, 404, {400, 500, 400, 300}),
      frame(42, 404, {800, 500, 400, 300}), frame(12, kEditor, {1000, 0, 400, 300})};
  auto started = clock.now();
  auto results = sim.ax().setFrames(batch);
  using platform::ax_error::cannotComplete;
  using platform::ax_error::success;
  ASSERT_EQ(results.size(), batch.size());
  EXPECT_EQ(results[0], (platform::FrameResult{success, CGRect(0, 0, 900, 700)}));
  EXPECT_NE(results[1].error, success);
  EXPECT_FALSE(results[1].landed);
  EXPECT_EQ(results[2], (platform::FrameResult{success, CGRect(0, 500, 400, 300)}));
  EXPECT_GE(clock.now() - started, std::chrono::milliseconds(5 * 200));
  EXPECT_EQ(results[3].error, cannotComplete);
  EXPECT_EQ(results[4].error, cannotComplete);
  EXPECT_EQ(results[5], (platform::FrameResult{success, CGRect(1000, 0, 400, 300)}));
  for (const auto& call : sim.calls())
    EXPECT_NE(call.window, 42u) << "a window of an app that stopped answering was asked";
}

TEST(SimAccessibilityTests, AnOpenedAppShowsItsFirstWindowAsScripted) {
  struct Case {
    const char* name;
    std::optional<platform::Duration> firstWindow;
    bool onlyAfterSecondOpen;
    int opens;
    std::size_t windowsAfterTenSeconds;
  };
  const Case cases[] = {
      {"after a delay", seconds(2.9), false, 1, 1},
      {"never", std::nullopt, false, 2, 0},
      {"only after a second open", seconds(0.5), true, 1, 0},
      {"opened again", seconds(0.5), true, 2, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeClock clock;
    SimDesktop sim(smallWorld(), clock);
    std::vector<WorkspaceNotification::Kind> heard;
    sim.workspace().observe([&](const WorkspaceNotification& note) { heard.push_back(note.kind); });
    AppRef notes{"com.example.notes", "Notes"};
    sim.install(notes, {303,
                        {engine::testing::window(31, 303, {0, 25, 600, 400}, 0)},
                        c.firstWindow,
                        c.onlyAfterSecondOpen});
    auto url = sim.opener().applicationURL(notes.bundleID);
    ASSERT_TRUE(url);
    for (int i = 0; i < c.opens; ++i)
      EXPECT_EQ(sim.opener().open(*url, false), std::nullopt);
    EXPECT_EQ(heard,
              std::vector<WorkspaceNotification::Kind>{WorkspaceNotification::Kind::didLaunch});
    clock.advance(seconds(10));
    EXPECT_EQ(sim.ax().elements(sim.ax().application(303), "AXWindows").size(),
              c.windowsAfterTenSeconds);
  }
  FakeClock clock;
  SimDesktop sim(smallWorld(), clock);
  EXPECT_EQ(sim.opener().applicationURL("com.example.missing"), std::nullopt);
  EXPECT_EQ(sim.opener().open("/Applications/Missing.app", false),
            "The application can’t be found.");
}

TEST(SimAccessibilityTests, TheFirstWindowArrivesAtItsScriptedMoment) {
  FakeClock clock;
  SimDesktop sim(smallWorld(), clock);
  sim.install({"com.example.notes", "Notes"},
              {303, {engine::testing::window(31, 303, {0, 25, 600, 400}, 0)}, seconds(2.9), false});
  sim.opener().open("/Applications/Notes.app", false);
  clock.advance(seconds(2.8));
  EXPECT_FALSE(sim.window(31));
  clock.advance(seconds(0.1));
  EXPECT_TRUE(sim.window(31));
}

TEST(SimAccessibilityTests, LeavingFullScreenSlowlySwitchesSpacesOnTheWay) {
  auto world = smallWorld();
  world.windows[2].isFullScreen = true;
  FakeClock clock;
  SimDesktop sim(world, clock);
  sim.leaveFullScreenSlowly(21, seconds(1.2), 2);
  int switches = 0;
  sim.workspace().observe([&](const WorkspaceNotification& note) {
    if (note.kind == WorkspaceNotification::Kind::activeSpaceDidChange) ++switches;
  });
  EXPECT_EQ(sim.ax().setValue(sim.elementOf(21), "AXFullScreen", platform::AXValue{false}), 0);
  clock.advance(seconds(1.1));
  EXPECT_TRUE(sim.window(21)->isFullScreen);
  EXPECT_EQ(switches, 2);
  clock.advance(seconds(0.1));
  EXPECT_FALSE(sim.window(21)->isFullScreen);
}

TEST(SimAccessibilityTests, ObserversAndHotKeysRefuseAsScripted) {
  FakeClock clock;
  SimDesktop sim(smallWorld(), clock);
  sim.refuseObservers(kViewer, 1);
  std::vector<std::string> heard;
  auto handler = [&](platform::AXElement, const std::string& name) { heard.push_back(name); };
  auto refused = sim.ax().createObserver(kViewer, handler);
  ASSERT_TRUE(refused);
  EXPECT_EQ(sim.ax().addNotification(*refused, sim.ax().application(kViewer), "AXWindowCreated"),
            platform::ax_error::cannotComplete);
  auto observer = sim.ax().createObserver(kViewer, handler);
  auto app = sim.ax().application(kViewer);
  EXPECT_EQ(sim.ax().addNotification(*observer, app, "AXWindowCreated"), 0);
  EXPECT_EQ(sim.ax().addNotification(*observer, app, "AXWindowCreated"),
            platform::ax_error::notificationAlreadyRegistered);
  sim.addWindow(engine::testing::window(22, kViewer, {0, 0, 100, 100}, 0));
  EXPECT_EQ(heard, std::vector<std::string>{"AXWindowCreated"});

  sim.refuseHotKey(0, 256, -9878);
  EXPECT_EQ(sim.hotKeyService().registerHotKey(0, 256, {1, 1}).status, -9878);
  auto taken = sim.hotKeyService().registerHotKey(1, 256, {1, 2});
  EXPECT_EQ(taken.status, 0);
  ASSERT_TRUE(taken.ref);
  EXPECT_EQ(sim.hotKeys().size(), 1u);
  EXPECT_EQ(sim.hotKeyService().unregisterHotKey(*taken.ref), 0);
  EXPECT_TRUE(sim.hotKeys().empty());
}

}  // namespace
}  // namespace kestles::sim
