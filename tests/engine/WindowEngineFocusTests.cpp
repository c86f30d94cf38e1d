#include <gtest/gtest.h>

#include "EngineDesk.hpp"

namespace kestles::engine {
namespace {

using namespace testing;
using platform::LogLevel;

TEST(WindowEngineFocusTests, RaisesBackToFrontMakingEachAppFrontmostOnceThenFocuses) {
  EngineDesk desk;
  desk.snapshot();
  desk.engine.raise({11, 12, 99, 21}, 12);
  EXPECT_EQ(desk.sim.writes(),
            (std::vector<sim::SimWrite>{
                flagWrite(0, kEditor, "AXFrontmost", true), action(11, kEditor, "AXRaise"),
                action(12, kEditor, "AXRaise"), flagWrite(0, kViewer, "AXFrontmost", true),
                action(21, kViewer, "AXRaise"),
                // The editor is no longer frontmost after the viewer: made so again.
                flagWrite(0, kEditor, "AXFrontmost", true), flagWrite(12, kEditor, "AXMain", true),
                action(12, kEditor, "AXRaise")}));
  EXPECT_EQ(desk.sim.frontmostApp(), kEditor);
  auto order = desk.sim.windowServer().onScreenWindows();
  ASSERT_TRUE(order);
  EXPECT_EQ(order->front().id, 12u);
}

TEST(WindowEngineFocusTests, FocusRestoresAHiddenAppAndAMinimizedWindow) {
  auto world = smallWorld();
  world.apps[1].isHidden = true;
  world.windows[2].isMinimized = true;
  EngineDesk desk(world);
  desk.snapshot();
  desk.engine.raise({}, 21);
  EXPECT_EQ(
      desk.sim.writes(),
      (std::vector<sim::SimWrite>{
          flagWrite(0, kViewer, "AXHidden", false), flagWrite(21, kViewer, "AXMinimized", false),
          flagWrite(0, kViewer, "AXFrontmost", true), flagWrite(21, kViewer, "AXMain", true),
          action(21, kViewer, "AXRaise")}));
  EXPECT_FALSE(desk.sim.isHidden(kViewer));
  EXPECT_FALSE(desk.sim.window(21)->isMinimized);
}

TEST(WindowEngineFocusTests, AnAppThatDoesNotAnswerIsSkippedForTheRestOfTheCall) {
  EngineDesk desk;
  desk.snapshot();
  desk.sim.stopAnswering(kEditor, 2);  // answers the frontmost set, not the first raise
  desk.engine.raise({11, 12, 21}, std::nullopt);
  EXPECT_EQ(desk.sim.writes(),
            (std::vector<sim::SimWrite>{
                flagWrite(0, kEditor, "AXFrontmost", true), action(11, kEditor, "AXRaise"),
                flagWrite(0, kViewer, "AXFrontmost", true), action(21, kViewer, "AXRaise")}));
}

TEST(WindowEngineFocusTests, FullScreenIsSetReadAndItsFailuresLogged) {
  EngineDesk desk;
  desk.snapshot();
  desk.engine.setFullScreen({11, 21, 99}, true);
  EXPECT_EQ(desk.engine.fullScreenStates({11, 99}),
            (std::map<std::uint32_t, WindowEngine::FullScreenState>{
                {11, {true, CGRect(100, 100, 800, 600)}}}));
  desk.sim.stopAnswering(kViewer);
  desk.engine.setFullScreen({11, 21}, false);
  EXPECT_FALSE(desk.sim.window(11)->isFullScreen);
  EXPECT_TRUE(desk.sim.window(21)->isFullScreen);
  EXPECT_EQ(desk.messages(LogLevel::notice),
            std::vector<std::string>{"Couldn't leave full screen for a window of 202"});
  // A window whose app does not answer reads as not full screen, with no frame.
  EXPECT_EQ(desk.engine.fullScreenStates({21}).at(21), WindowEngine::FullScreenState{});
}

TEST(WindowEngineFocusTests, FocusedWindowIsTheFrontOtherAppsWindowBehindOurPanel) {
  auto world = smallWorld();
  world.apps.push_back({7, "co.quillmoss.Kestles", "Kestles", false});
  world.windows.insert(world.windows.begin(), window(5, 7, {400, 300, 300, 200}, -1));
  struct Case {
    std::uint32_t focused;
    std::uint32_t expected;
    std::vector<std::string> debug;
  };
  const Case cases[] = {
      {21, 21, {}},
      // Our own panel is focused: the frontmost window of another app is meant (11).
      {5, 11, {"Front window behind Kestles's panel: app 101"}},
  };
  for (const auto& c : cases) {
    EngineDesk desk(world);
    desk.sim.setOwnPID(7);
    desk.sim.setFocusedWindow(c.focused);
    desk.sim.setFocusedApp(c.focused == 5 ? 7 : kViewer);
    auto focused = desk.engine.focusedWindow();
    ASSERT_TRUE(focused);
    EXPECT_EQ(focused->id, c.expected);
    EXPECT_EQ(focused->frame, desk.sim.window(c.expected)->frame);
    EXPECT_EQ(desk.messages(LogLevel::debug), c.debug);
  }
}

TEST(WindowEngineFocusTests, AFocusedWindowWithoutANumberIsSettledAndCanBeMoved) {
  EngineDesk desk;
  desk.sim.hideWindowNumber(21);
  desk.sim.unlist(21);
  desk.sim.setFocusedWindow(21);
  auto focused = desk.engine.focusedWindow();
  ASSERT_TRUE(focused);
  EXPECT_EQ(focused->id, 0xF0000001u);
  EXPECT_EQ(focused->pid, kViewer);
  // The snapshot later finds the same element and keeps its id.
  auto world = desk.engine.snapshot(desk.world.apps, desk.world.setup);
  EXPECT_EQ(world.windows[2].id, 0xF0000001u);
  auto outcome =
      desk.engine.arrange({{0xF0000001u, world.windows[2].frame, {10, 30, 500, 500}, std::nullopt}},
                          platform::Duration{0});
  EXPECT_EQ(outcome.frames.at(0xF0000001u), CGRect(10, 30, 500, 500));
  EXPECT_EQ(desk.engine.limits({0xF0000001u}).at(0xF0000001u), SizeLimits{});
}

}  // namespace
}  // namespace kestles::engine
