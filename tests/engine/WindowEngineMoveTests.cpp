#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "EngineDesk.hpp"
#include "KestlesCore/coding/JSONFile.hpp"

namespace kestles::engine {
namespace {

using namespace testing;
using platform::Duration;
using platform::LogLevel;
using platform::seconds;
using Request = WindowEngine::MoveRequest;

const CGRect kVisible(0, 25, 1440, 875);

TEST(WindowEngineMoveTests, WritesOnlyWhatDiffersSizeAroundPosition) {
  struct Case {
    const char* name;
    CGRect from;  // where the world says the window is
    CGRect to;
    std::vector<sim::SimWrite> writes;
  };
  const Case cases[] = {
      {"already there", {100, 100, 800, 600}, {100, 100, 800.6, 599.2}, {}},
      {"same size",
       {100, 100, 800, 600},
       {300, 50, 800.5, 600},
       {positionWrite(11, kEditor, 300, 50)}},
      // Moved to the other display a window may only take its size once it is there.
      {"new size",
       {100, 100, 800, 600},
       {1500, 0, 1000, 700},
       {sizeWrite(11, kEditor, 1000, 700), positionWrite(11, kEditor, 1500, 0),
        sizeWrite(11, kEditor, 1000, 700)}},
      // Within a point but not at the same origin: only the position is written.
      {"nudged",
       {100, 100, 800, 600},
       {100.5, 100, 800, 600},
       {positionWrite(11, kEditor, 100.5, 100)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EngineDesk desk;
    desk.snapshot();
    auto outcome = desk.engine.arrange({{11, c.from, c.to, std::nullopt}}, Duration{0});
    EXPECT_EQ(desk.sim.writes(), c.writes);
    ASSERT_TRUE(outcome.frames.contains(11));
    EXPECT_EQ(desk.sim.window(11)->frame, c.writes.empty() ? c.from : outcome.frames[11]);
    EXPECT_TRUE(outcome.failures.empty());
  }
}

TEST(WindowEngineMoveTests, RecentresAWindowThatTookAnotherSizeInsideItsArea) {
  struct Case {
    const char* name;
    MinimumSize minimum;
    MaximumSize maximum;
    CGRect target;
    CGRect landed;
  };
  const Case cases[] = {
      // 900 wide on a tile centred at 470.5: x = trunc(470.5 - 450) = 20.
      {"too small a tile", {900, 700}, {}, {120.5, 200, 700, 500}, {20, 100, 900, 700}},
      {"too large a tile", {}, {400, 300}, {100, 100, 1000, 700}, {400, 300, 400, 300}},
      // Centring would push it off the area's right and bottom edges: clamped inside.
      {"at the corner", {900, 700}, {}, {740, 400, 700, 500}, {540, 200, 900, 700}},
  };
  for (const auto& c : cases) {
    for (bool foretold : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (foretold ? ", size foretold" : ""));
      auto world = smallWorld();
      world.windows[0].minimumSize = c.minimum;
      world.windows[0].maximumSize = c.maximum;
      EngineDesk desk(world);
      if (foretold) desk.sim.ax().foretellSizes();
      auto before = desk.snapshot();
      auto outcome = desk.engine.place({{11, c.target, kVisible, 0}}, before, Duration{0});
      EXPECT_EQ(outcome.frames[11], c.landed);
      EXPECT_EQ(desk.sim.window(11)->frame, c.landed);
      auto writes = desk.sim.writes();
      ASSERT_FALSE(writes.empty());
      auto landedAt = positionWrite(11, kEditor, c.landed.origin.x, c.landed.origin.y);
      // A size known beforehand is asked for centred at once: one move. Otherwise the window
      // is moved to the middle once it has landed.
      auto moves = std::count_if(writes.begin(), writes.end(),
                                 [&](const auto& write) { return write.name == landedAt.name; });
      if (foretold) {
        EXPECT_EQ(moves, 1);
      } else {
        EXPECT_EQ(writes.back(), landedAt);
      }
    }
  }
}

TEST(WindowEngineMoveTests, AnAppThatStopsAnsweringKeepsItsRemainingWindows) {
  EngineDesk desk;
  auto before = desk.snapshot();
  // The editor answers its first three calls (size, position, size of window 11) only.
  desk.sim.stopAnswering(kEditor, 4);
  auto outcome = desk.engine.place({{11, {0, 25, 700, 500}, std::nullopt, 0},
                                    {12, {700, 25, 700, 500}, std::nullopt, 1},
                                    {21, {0, 525, 700, 375}, std::nullopt, 2},
                                    {99, {0, 0, 10, 10}, std::nullopt, 3}},
                                   before, Duration{0});
  // 11 was set but could not be read back; 12 is abandoned; the viewer's window moves.
  EXPECT_EQ(outcome.frames, (std::map<std::uint32_t, CGRect>{{21, {0, 525, 700, 375}}}));
  EXPECT_EQ(outcome.failures,
            (std::vector<std::string>{"Couldn't move Editor", "Couldn't move Editor",
                                      "Couldn't move a window"}));
  for (const auto& write : desk.sim.writes(kEditor))
    EXPECT_EQ(write.window, 11u);
  EXPECT_EQ(desk.sim.window(12)->frame, before.windows[1].frame);
  EXPECT_EQ(desk.messages(LogLevel::notice),
            std::vector<std::string>{"App 101 didn't answer: its windows stay where they are"});
}

TEST(WindowEngineMoveTests, TurnsTheEnhancedInterfaceOffForTheJobOnly) {
  EngineDesk desk;
  auto before = desk.snapshot();
  desk.sim.setEnhancedUserInterface(kEditor, true);
  desk.engine.place({{12, {300, 50, 600, 400}, std::nullopt, 0}}, before, Duration{0});
  EXPECT_EQ(desk.sim.writes(),
            (std::vector<sim::SimWrite>{flagWrite(0, kEditor, "AXEnhancedUserInterface", false),
                                        positionWrite(12, kEditor, 300, 50),
                                        flagWrite(0, kEditor, "AXEnhancedUserInterface", true)}));
  EXPECT_TRUE(desk.sim.usesEnhancedUserInterface(kEditor));
}

// The frames a glide wrote for one window, in order, the final set included.
std::vector<CGRect> framesWritten(sim::SimDesktop& sim, std::uint32_t id, CGRect start) {
  std::vector<CGRect> frames;
  auto frame = start;
  for (const auto& write : sim.writes()) {
    if (write.window != id) continue;
    if (auto size = std::get_if<CGSize>(&*write.value)) frame.size = *size;
    if (auto origin = std::get_if<CGPoint>(&*write.value)) {
      frame.origin = *origin;
      frames.push_back(frame);
    }
  }
  return frames;
}

TEST(WindowEngineMoveTests, GlidesEasedInWholePointsPacedAt16Milliseconds) {
  EngineDesk desk;
  auto before = desk.snapshot();
  auto started = desk.clock.now();
  desk.engine.place({{11, {500, 200, 900, 650}, std::nullopt, 0}}, before, seconds(0.2));
  auto frames = framesWritten(desk.sim, 11, before.windows[0].frame);
  // At most one in-between frame per 16 ms pass over the 0.2 s; the last one reaches the
  // target, so the final set finds nothing left to write.
  ASSERT_GE(frames.size(), 8u);
  ASSERT_LE(frames.size(), 12u);
  EXPECT_EQ(frames.back(), CGRect(500, 200, 900, 650));
  // Sizes are written before positions in every pass.
  auto writes = desk.sim.writes();
  EXPECT_EQ(writes.front().name, "AXSize");
  double previousStep = 1e9;
  double x = 100;
  for (std::size_t i = 0; i + 1 < frames.size(); ++i) {
    EXPECT_EQ(frames[i], frames[i].rounded());
    EXPECT_GT(frames[i].origin.x, x);                     // always onward
    EXPECT_LE(frames[i].origin.x - x, previousStep + 1);  // and slowing down
    // Size and origin move by the same fraction (400 points across, 100 wider).
    EXPECT_NEAR(frames[i].size.width - 800, (frames[i].origin.x - 100) / 4, 1);
    previousStep = frames[i].origin.x - x;
    x = frames[i].origin.x;
  }
  EXPECT_EQ(desk.clock.now() - started, std::chrono::milliseconds(16 * 13));
  // The short messaging timeout lasts only as long as the glide.
  std::vector<platform::AXValue> timeouts;
  for (const auto& call : desk.sim.calls())
    if (call.kind == sim::SimCall::Kind::setTimeout) timeouts.push_back(*call.value);
  EXPECT_EQ(timeouts, (std::vector<platform::AXValue>{double(0.05f), 0.0}));
}

TEST(WindowEngineMoveTests, StaggersWindowsAndSkipsOnesAlreadyInPlace) {
  EngineDesk desk;
  auto before = desk.snapshot();
  desk.engine.place({{11, {500, 100, 800, 600}, std::nullopt, 0},
                     {12, {600, 200, 600, 400}, std::nullopt, 3},
                     {21, before.windows[2].frame, std::nullopt, 1}},
                    before, seconds(0.1));
  auto calls = desk.sim.calls();
  auto firstWrite = [&](std::uint32_t id) {
    for (const auto& call : calls)
      if (call.kind == sim::SimCall::Kind::setValue && call.window == id) return call.at;
    return platform::ContinuousInstant{};
  };
  // 11's first in-between frame comes in the second pass; 12 starts 3 × 16 ms later.
  EXPECT_EQ(firstWrite(12) - firstWrite(11), std::chrono::milliseconds(48));
  EXPECT_TRUE(desk.sim.writes(kViewer).empty());
}

TEST(WindowEngineMoveTests, GlidesOnlyWhileThereAreProcessorsAndAppsAnswerInTime) {
  struct Case {
    const char* name;
    int processors;
    Duration callCost;
    std::size_t fewest, most;  // frames written to window 11, the final set included
  };
  const Case cases[] = {
      {"gliding", 2, Duration{0}, 8, 13},
      {"more apps than processors", 1, Duration{0}, 1, 1},
      // Each call takes 25 ms: one pass of two writes exceeds 40 ms, so the glide stops
      // after its first in-between frame.
      {"a slow app", 2, std::chrono::milliseconds(25), 2, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EngineDesk desk;
    auto before = desk.snapshot();
    desk.parallel.setActiveProcessors(c.processors);
    desk.sim.setCallCost(kEditor, c.callCost);
    auto outcome = desk.engine.place(
        {{11, {500, 100, 900, 650}, std::nullopt, 0}, {21, {600, 125, 500, 500}, std::nullopt, 0}},
        before, seconds(0.2));
    auto written = framesWritten(desk.sim, 11, before.windows[0].frame).size();
    EXPECT_GE(written, c.fewest);
    EXPECT_LE(written, c.most);
    EXPECT_EQ(outcome.frames.size(), 2u);
  }
}

TEST(WindowEngineMoveTests, LearnsTheSizesWindowsRefuseAndSavesThem) {
  auto folder = std::filesystem::temp_directory_path() / "kestles-engine-learning";
  std::filesystem::remove_all(folder);
  auto file = folder / "minimums.json";
  auto world = smallWorld();
  world.windows[1].isResizable = false;  // 600×400, always
  EngineDesk desk(world, file);
  auto before = desk.snapshot();
  auto first = desk.engine.place({{12, {0, 25, 800, 600}, std::nullopt, 0}}, before, Duration{0});
  EXPECT_FALSE(first.learnedMinimums);  // a maximum only
  auto second = desk.engine.place({{12, {0, 25, 300, 200}, std::nullopt, 0}}, before, Duration{0});
  EXPECT_TRUE(second.learnedMinimums);
  EXPECT_EQ(
      desk.messages(LogLevel::info),
      (std::vector<std::string>{"Learned size limits for a window of com.example.editor: at least "
                                "0.000000×0.000000, at most 600.000000×400.000000",
                                "Learned size limits for a window of com.example.editor: at least "
                                "600.000000×400.000000, at most 600.000000×400.000000 (fixed)"}));
  auto saved = JSONFile<LearnedSizes>{file}.load();
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->apps.at("com.example.editor"), (SizeLimits{{600, 400}, {600, 400}}));
  // A new engine reads the file: the next snapshot knows the limits.
  EngineDesk later(world, file);
  EXPECT_EQ(later.snapshot().windows[0].minimumSize, (MinimumSize{600, 400}));
  std::filesystem::remove_all(folder);
}

TEST(WindowEngineMoveTests, AnAppIdThatIsNotUTF8DoesNotStopTheLimitsFromSaving) {
  // Regression: one app whose id was not valid UTF-8 made every save of the size limits fail
  // ("Saving size limits failed"), so every app's learned limits were lost at restart.
  auto folder = std::filesystem::temp_directory_path() / "kestles-engine-bad-app-id";
  std::filesystem::remove_all(folder);
  auto file = folder / "minimums.json";
  auto world = smallWorld();
  const std::string badID = "com.example.\xFFviewer\xC3";
  world.apps[1].bundleID = badID;
  world.windows[2].bundleID = badID;
  world.windows[1].isResizable = false;  // the editor's 600×400
  world.windows[2].isResizable = false;  // the viewer's 500×500
  EngineDesk desk(world, file);
  auto before = desk.snapshot();
  desk.engine.place(
      {{12, {0, 25, 300, 200}, std::nullopt, 0}, {21, {0, 25, 300, 200}, std::nullopt, 0}}, before,
      Duration{0});
  EXPECT_TRUE(desk.messages(LogLevel::error).empty());
  auto saved = JSONFile<LearnedSizes>{file}.load();
  ASSERT_TRUE(saved);
  const std::string repaired = "com.example.\uFFFDviewer\uFFFD";
  EXPECT_EQ(saved->apps, (std::map<std::string, SizeLimits>{
                             {"com.example.editor", {{600, 400}, {}}},
                             {repaired, {{500, 500}, {}}},
                         }));
  // The limits are still found under the id the window reports.
  EngineDesk later(world, file);
  EXPECT_EQ(later.snapshot().windows[2].minimumSize, (MinimumSize{500, 500}));
  std::filesystem::remove_all(folder);
}

TEST(WindowEngineMoveTests, AnUnreadableLimitsFileStartsEmptyAndASaveFailureIsLogged) {
  auto folder = std::filesystem::temp_directory_path() / "kestles-engine-unreadable";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder / "minimums.json");  // a folder, not a file
  auto world = smallWorld();
  world.windows[0].minimumSize = {900, 700};
  EngineDesk desk(world, folder / "minimums.json");
  auto before = desk.snapshot();
  EXPECT_EQ(before.windows[0].minimumSize, MinimumSize{});
  desk.engine.place({{11, {0, 25, 700, 500}, std::nullopt, 0}}, before, Duration{0});
  auto errors = desk.messages(LogLevel::error);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_TRUE(errors[0].starts_with("Saving size limits failed: ")) << errors[0];
  EXPECT_EQ(desk.engine.learnedSizes().apps.at("com.example.editor").minimum,
            (MinimumSize{900, 700}));
  std::filesystem::remove_all(folder);
}

TEST(WindowEngineMoveTests, ALateResizeIsLearnedAndCentredHalfASecondLater) {
  EngineDesk desk;
  auto before = desk.snapshot();
  desk.sim.resizeLate(11, {1000, 600}, seconds(0.3));
  desk.engine.place({{11, {100, 100, 700, 600}, kVisible, 0}}, before, Duration{0});
  desk.sim.clearCalls();
  desk.clock.advance(seconds(0.49));
  EXPECT_TRUE(desk.sim.writes().empty());
  desk.clock.advance(seconds(0.01));
  // Centred on the tile (midX 450), x = -50, kept inside the visible frame: 0.
  EXPECT_EQ(desk.sim.writes(), std::vector<sim::SimWrite>{positionWrite(11, kEditor, 0, 100)});
  EXPECT_EQ(desk.sim.window(11)->frame, CGRect(0, 100, 1000, 600));
  EXPECT_EQ(desk.messages(LogLevel::info),
            (std::vector<std::string>{
                "Learned size limits for a window of com.example.editor: at least "
                "1000.000000×0.000000, at most 0.000000×0.000000",
                "A window came out 1000.000000×600.000000 a moment after it was asked for "
                "700.000000×600.000000; to the middle of its tile"}));
}

TEST(WindowEngineMoveTests, ALaterRequestCancelsTheEarlierLateLandingCheck) {
  EngineDesk desk;
  auto before = desk.snapshot();
  desk.sim.resizeLate(11, {1000, 600}, seconds(0.1));
  desk.engine.place({{11, {100, 100, 700, 600}, kVisible, 0}}, before, Duration{0});
  desk.clock.advance(seconds(0.2));
  // Asked elsewhere before the first check: the first check leaves the window alone.
  auto now = desk.snapshot();
  desk.engine.place({{11, {300, 150, 1000, 600}, kVisible, 0}}, now, Duration{0});
  desk.sim.clearCalls();
  desk.log.clear();
  desk.clock.advance(seconds(1));
  EXPECT_TRUE(desk.sim.writes().empty());
  EXPECT_TRUE(desk.messages(LogLevel::info).empty());
  EXPECT_EQ(desk.clock.pendingTimers(), 0u);
}

TEST(WindowEngineMoveTests, AppliesUnhidingUnminimizingMovesRaiseAndFocus) {
  auto world = smallWorld();
  world.apps[1].isHidden = true;
  world.windows[1].isMinimized = true;
  EngineDesk desk(world);
  auto before = desk.snapshot();
  WindowEngine::ApplyRequest request{
      "Writing", {kViewer},
      {12},      {{12, {0, 25, 720, 875}, kVisible, 0}, {77, {720, 25, 720, 875}, kVisible, 1}},
      {12},      12};
  auto outcome = desk.engine.apply(request, before, Duration{0});
  EXPECT_EQ(outcome.frames, (std::map<std::uint32_t, CGRect>{{12, {0, 25, 720, 875}}}));
  EXPECT_EQ(outcome.failures, std::vector<std::string>{"Couldn't move a window"});
  EXPECT_EQ(desk.sim.writes(),
            (std::vector<sim::SimWrite>{
                flagWrite(0, kViewer, "AXHidden", false),
                flagWrite(12, kEditor, "AXMinimized", false), sizeWrite(12, kEditor, 720, 875),
                positionWrite(12, kEditor, 0, 25), sizeWrite(12, kEditor, 720, 875),
                flagWrite(0, kEditor, "AXFrontmost", true), action(12, kEditor, "AXRaise"),
                flagWrite(12, kEditor, "AXMain", true), action(12, kEditor, "AXRaise")}));
  EXPECT_EQ(desk.messages(LogLevel::info),
            std::vector<std::string>{"Applied Writing: 1 of 2 windows in 0 seconds"});
}

TEST(WindowEngineMoveTests, UndoPutsBackWhatIsStillThere) {
  EngineDesk desk;
  auto before = desk.snapshot();
  UndoEntry entry;
  entry.title = "Tile Windows";
  entry.frames = {{11, {10, 30, 700, 500}}, {99, {0, 0, 100, 100}}};
  entry.minimize = {12};
  entry.hide = {kViewer};
  entry.fullScreen = {21};
  EXPECT_EQ(desk.engine.undo(entry, before), 1u);
  EXPECT_EQ(
      desk.sim.writes(),
      (std::vector<sim::SimWrite>{
          sizeWrite(11, kEditor, 700, 500), positionWrite(11, kEditor, 10, 30),
          sizeWrite(11, kEditor, 700, 500), flagWrite(12, kEditor, "AXMinimized", true),
          flagWrite(0, kViewer, "AXHidden", true), flagWrite(21, kViewer, "AXFullScreen", true)}));
  EXPECT_EQ(desk.messages(LogLevel::info),
            std::vector<std::string>{"Undid Tile Windows: 1 windows back"});
}

}  // namespace
}  // namespace kestles::engine
