#include <gtest/gtest.h>

#include "EngineDesk.hpp"

namespace kestles::engine {
namespace {

using namespace testing;
using platform::LogLevel;

std::vector<std::uint32_t> idsOf(const World& world) {
  std::vector<std::uint32_t> ids;
  for (const auto& window : world.windows)
    ids.push_back(window.id);
  return ids;
}

TEST(WindowEngineSnapshotTests, ReadsEveryStandardWindowOnceWithItsStateAndOrder) {
  EngineDesk desk;
  desk.sim.setFocusedWindow(21);
  auto world = desk.engine.snapshot(desk.world.apps, desk.world.setup);
  // The world as the simulated desktop holds it, windows in app order.
  EXPECT_EQ(world.windows, desk.world.windows);
  EXPECT_EQ(world.apps, desk.world.apps);
  EXPECT_EQ(world.activeDisplayID, "LEFT");
  EXPECT_TRUE(world.fullScreen.empty());
  EXPECT_TRUE(world.floating.empty());
  // One batched read of the six attributes per window, and no change to anything.
  int batches = 0;
  for (const auto& call : desk.sim.calls())
    if (call.kind == sim::SimCall::Kind::copyValues) {
      ++batches;
      EXPECT_EQ(call.name, "AXSubrole,AXTitle,AXPosition,AXSize,AXMinimized,AXFullScreen");
    }
  EXPECT_EQ(batches, 3);
  EXPECT_TRUE(desk.sim.writes().empty());
  EXPECT_EQ(desk.messages(LogLevel::debug),
            std::vector<std::string>{"Snapshot: 3 windows of 2 apps in 0 seconds"});
}

TEST(WindowEngineSnapshotTests, LeavesOutWindowsThatAreNotStandardAndSaysWhy) {
  auto world = smallWorld();
  world.windows.push_back(window(13, kEditor, {0, 0, 300, 200}, 3));
  world.windows.push_back(window(14, kEditor, {0, 0, 300, 200}, 4));
  EngineDesk desk(world);
  desk.sim.setSubrole(12, "AXDialog");
  desk.sim.hidePosition(13);
  desk.sim.setSubrole(14, std::nullopt);
  desk.sim.hidePosition(14);
  auto taken = desk.engine.snapshot(world.apps, world.setup);
  EXPECT_EQ(idsOf(taken), (std::vector<std::uint32_t>{11, 21}));
  EXPECT_EQ(desk.messages(LogLevel::debug).front(),
            "Editor: skipped 3 of 4 AX windows: AXDialog , AXStandardWindow no position, no "
            "subrole no position");
}

TEST(WindowEngineSnapshotTests, WindowsWithoutNumbersTakeListedOrSyntheticIds) {
  struct Case {
    const char* name;
    std::vector<std::uint32_t> withoutNumber;
    std::vector<std::uint32_t> unlisted;
    std::vector<std::uint32_t> expected;
  };
  const std::uint32_t first = 0xF0000001;
  const Case cases[] = {
      {"listed windows are matched by frame", {11, 12}, {}, {11, 12, 21}},
      // Same frame as 11: the first takes the listed id, the second a synthetic one.
      {"identical frames", {11, 12}, {12}, {11, first, 21}},
      // 11 keeps its own number, so the unlisted twin may not take it.
      {"a numbered twin", {12}, {12}, {11, first, 21}},
      // Nothing has a number: 11 takes its twin's listed id by frame.
      {"no numbers, unlisted", {11, 12, 21}, {11, 21}, {12, first, first + 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto world = smallWorld();
    world.windows[1].frame = world.windows[0].frame;
    EngineDesk desk(world);
    for (auto id : c.withoutNumber)
      desk.sim.hideWindowNumber(id);
    for (auto id : c.unlisted)
      desk.sim.unlist(id);
    EXPECT_EQ(idsOf(desk.engine.snapshot(world.apps, world.setup)), c.expected);
    // The same elements keep their ids in the next snapshot.
    EXPECT_EQ(idsOf(desk.engine.snapshot(world.apps, world.setup)), c.expected);
  }
}

TEST(WindowEngineSnapshotTests, UnlistedWindowsSortBehindAndStayOutOfFullScreen) {
  auto world = smallWorld();
  world.windows[0].isFullScreen = true;                  // on screen
  world.windows[2].isFullScreen = true;                  // on another Space
  world.windows[1].frame = CGRect(1500, 100, 600, 400);  // on the right display
  world.windows[1].isFullScreen = true;
  EngineDesk desk(world);
  desk.sim.unlist(21);
  auto taken = desk.engine.snapshot(world.apps, world.setup);
  EXPECT_EQ(taken.fullScreen, (std::map<std::string, std::uint32_t>{{"LEFT", 11}, {"RIGHT", 12}}));
  // Two windows listed; the unlisted one comes after them, by its place in the read order.
  EXPECT_EQ(taken.windows[2].zIndex, 2 + 2);
}

TEST(WindowEngineSnapshotTests, WithoutTheWindowListWindowsAreOrderedAsReadAndMatchedByNumber) {
  auto world = smallWorld();
  world.windows[0].zIndex = 2;
  world.windows[2].zIndex = 0;
  world.windows[2].isFullScreen = true;
  EngineDesk desk(world);
  desk.sim.failWindowList();
  auto taken = desk.engine.snapshot(world.apps, world.setup);
  std::vector<std::int64_t> order;
  for (const auto& window : taken.windows)
    order.push_back(window.zIndex);
  EXPECT_EQ(order, (std::vector<std::int64_t>{0, 1, 2}));
  EXPECT_EQ(idsOf(taken), (std::vector<std::uint32_t>{11, 12, 21}));
  EXPECT_TRUE(taken.fullScreen.empty());  // nothing is known to be on screen
}

TEST(WindowEngineSnapshotTests, ActiveDisplayFollowsTheFocusedWindowOfAnotherApp) {
  auto world = smallWorld();
  world.windows[2].frame = CGRect(1600, 100, 500, 500);
  struct Case {
    std::optional<std::uint32_t> focused;
    std::int32_t ownPID;
    std::string expected;
  };
  const Case cases[] = {
      {21, 1, "RIGHT"},
      {11, 1, "LEFT"},
      {21, kViewer, "LEFT"},      // this process's own window: the main display
      {std::nullopt, 1, "LEFT"},  // nothing focused
  };
  for (const auto& c : cases) {
    EngineDesk desk(world);
    desk.sim.setFocusedWindow(c.focused);
    desk.sim.setOwnPID(c.ownPID);
    EXPECT_EQ(desk.engine.snapshot(world.apps, world.setup).activeDisplayID, c.expected);
  }
}

TEST(WindowEngineSnapshotTests, AnAppThatDoesNotAnswerGivesNoWindows) {
  EngineDesk desk;
  desk.sim.stopAnswering(kEditor);
  auto taken = desk.engine.snapshot(desk.world.apps, desk.world.setup);
  EXPECT_EQ(idsOf(taken), std::vector<std::uint32_t>{21});
  EXPECT_EQ(taken.apps.size(), 2u);
}

TEST(WindowEngineSnapshotTests, PrunesTheWindowsOfAppsThatQuit) {
  EngineDesk desk;
  auto before = desk.snapshot();
  desk.sim.quit(kViewer);
  // Only the editor is read now, but the viewer's cached window goes with its process.
  desk.engine.snapshot({desk.world.apps[0]}, desk.world.setup);
  auto outcome =
      desk.engine.place({{21, {0, 25, 700, 700}, std::nullopt, 0}}, before, platform::Duration{0});
  EXPECT_TRUE(outcome.frames.empty());
  EXPECT_EQ(outcome.failures, std::vector<std::string>{"Couldn't move Viewer"});
  EXPECT_TRUE(desk.sim.writes().empty());
}

// Starting logged the names of another platform's private functions; it only sets the timeout.
TEST(WindowEngineSnapshotTests, StartSetsTheSystemWideTimeoutAndLogsNothing) {
  EngineDesk desk;
  desk.engine.start();
  EXPECT_TRUE(desk.messages(LogLevel::info).empty());
  auto calls = desk.sim.calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].kind, sim::SimCall::Kind::setTimeout);
  EXPECT_EQ(calls[0].pid, 0);
  EXPECT_EQ(calls[0].value, platform::AXValue{1.0});
}

}  // namespace
}  // namespace kestles::engine
