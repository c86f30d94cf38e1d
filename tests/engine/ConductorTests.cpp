#include <gtest/gtest.h>

#include "EngineDesk.hpp"
#include "KestlesCore/layout/Template.hpp"
#include "KestlesCore/library/Library.hpp"
#include "KestlesEngine/engine/Conductor.hpp"

namespace kestles::platform {
inline void PrintTo(const LogRecord& record, std::ostream* out) {
  *out << name(record.level) << ": " << record.message;
}
}  // namespace kestles::platform

namespace kestles::engine {
namespace {

using namespace testing;
using platform::LogLevel;
using platform::seconds;

constexpr std::int32_t kNotes = 303;  // installed, not running; its first window is 31
const AppRef kNotesApp{"com.example.notes", "Notes"};
const CGRect kLeftHalf{0, 25, 720, 875};
const CGRect kRightHalf{720, 25, 720, 875};

WindowSnapshot notesWindow() {
  auto snapshot = window(31, kNotes, {300, 300, 500, 400}, 0);
  snapshot.bundleID = kNotesApp.bundleID;
  snapshot.appName = kNotesApp.name;
  return snapshot;
}

/// The editor's first window to the left half; Notes opened for the right half.
ApplyPlan launchingPlan() {
  ApplyPlan plan;
  plan.title = "Morning";
  plan.moves = {{11, kEditor, "LEFT", 0, kLeftHalf}};
  plan.launches = {{kNotesApp, false, {{"LEFT", 1, kRightHalf}}}};
  return plan;
}

/// The engine desk with the conductor over it; it counts the callbacks.
struct ConductorDesk {
  explicit ConductorDesk(const World& world = smallWorld()) : desk(world) {
    conductor.onPlacingEnded = [this] { ++ended; };
    conductor.onPlacingStopped = [this] { ++stopped; };
    conductor.onOpenFailed = [this](const AppRef& app) { failedOpens.push_back(app); };
    conductor.onPlacing = [this](const auto& moves) { announced = moves; };
  }

  /// Applies the plan on a fresh snapshot, as the app does.
  ApplyReport apply(const ApplyPlan& plan) {
    return conductor.apply(plan, conductor.snapshot(), {});
  }
  void install(sim::LaunchScript script) {
    script.pid = kNotes;
    script.windows = {notesWindow()};
    desk.sim.install(kNotesApp, script);
  }
  /// When the window's size was first set, since the clock began.
  std::optional<double> placedAt(std::uint32_t id) {
    for (const auto& call : desk.sim.calls())
      if (call.kind == sim::SimCall::Kind::setValue && call.window == id && call.name == "AXSize")
        return std::chrono::duration<double>(call.at.sinceStart).count();
    return std::nullopt;
  }
  std::size_t opens() {
    auto calls = desk.sim.calls();
    return std::count_if(calls.begin(), calls.end(),
                         [](const auto& call) { return call.kind == sim::SimCall::Kind::open; });
  }
  /// What was logged at info level and above (the engine's debug lines left out).
  std::vector<platform::LogRecord> logged() {
    return desk.log.records(platform::LogCategory::engine, LogLevel::info);
  }

  EngineDesk desk;
  Conductor& conductor = desk.parts.conductor;
  int ended = 0;
  int stopped = 0;
  std::vector<AppRef> failedOpens;
  std::vector<ApplyPlan::Move> announced;
};

platform::LogRecord info(std::string message) {
  return {LogLevel::info, platform::LogCategory::engine, std::move(message)};
}

TEST(ConductorTests, AppliesAPlanWithoutLaunchesAndTouchesNothingElse) {
  ConductorDesk c;
  ApplyPlan plan = launchingPlan();
  plan.launches.clear();
  plan.moves.push_back({21, kViewer, "LEFT", 1, kRightHalf});

  auto report = c.apply(plan);

  EXPECT_EQ(report.plan, plan);
  EXPECT_EQ(report.before.windows.size(), 3u);
  EXPECT_EQ(report.before.windows[0].frame, (CGRect{100, 100, 800, 600}));
  EXPECT_EQ(report.duration, platform::Duration{0});  // nothing full screen: no waiting
  EXPECT_TRUE(report.failures.empty());
  EXPECT_EQ(c.announced, plan.moves);
  EXPECT_FALSE(c.conductor.isPlacing());
  EXPECT_EQ(c.ended, 1);
  EXPECT_EQ(c.desk.sim.window(11)->frame, kLeftHalf);
  EXPECT_EQ(c.desk.sim.window(21)->frame, kRightHalf);
  EXPECT_EQ(c.desk.sim.window(12)->frame, (CGRect{200, 200, 600, 400}));
  for (const auto& write : c.desk.sim.writes())
    EXPECT_NE(write.window, 12u) << write;
  EXPECT_EQ(c.opens(), 0u);
  EXPECT_EQ(c.logged(),
            (std::vector{info("Applied Morning: 2 of 2 windows in 0 seconds"),
                         info("Applied Morning in 0 seconds; 0 apps to open, 0 failures")}));
  // The conductor leaves no timer of its own after a plan without launches: nothing reads
  // the windows again before the engine's late-landing look at 0.5 s.
  c.desk.sim.clearCalls();
  c.desk.clock.advance(seconds(0.49));
  EXPECT_TRUE(c.desk.sim.calls().empty());
}

TEST(ConductorTests, PlacesAnOpenedAppsFirstWindowAtTheNextPoll) {
  struct Case {
    double appearsAt;
    double placedAt;  // polls every 0.2 s under 3 s, every 0.5 s under 8 s, then every 1 s
    bool asked;       // still without a window more than 4 s after opening
  };
  for (auto [appearsAt, placedAt, asked] :
       {Case{0.1, 0.2, false}, Case{2.9, 3.0, false}, Case{3.1, 3.5, false}, Case{7.2, 7.5, true},
        Case{8.2, 9.0, true}}) {
    SCOPED_TRACE(appearsAt);
    ConductorDesk c;
    c.install({0, {}, seconds(appearsAt), false});

    auto report = c.apply(launchingPlan());
    EXPECT_TRUE(c.conductor.isPlacing());
    EXPECT_TRUE(c.conductor.isLaunching());
    EXPECT_EQ(c.ended, 0);
    c.desk.clock.advance(seconds(30));

    EXPECT_EQ(c.placedAt(31), placedAt);
    EXPECT_EQ(c.desk.sim.window(31)->frame, kRightHalf);
    for (const auto& write : c.desk.sim.writes())
      EXPECT_TRUE(write.window == 11 || write.window == 31) << write;
    EXPECT_EQ(c.opens(), asked ? 2u : 1u);
    EXPECT_FALSE(c.conductor.isPlacing());
    EXPECT_FALSE(c.conductor.isLaunching());
    EXPECT_EQ(c.ended, 1);
    std::vector<platform::LogRecord> expected{
        info("Applied Morning: 1 of 1 windows in 0 seconds"),
        info("Applied Morning in 0 seconds; 1 apps to open, 0 failures")};
    if (asked) expected.push_back(info("Notes opened with no windows; asking for one"));
    expected.push_back(info("Placed 1 opened windows; 0 apps still to show one"));
    EXPECT_EQ(c.logged(), expected);
  }
}

// The windows the launch queue placed are told with the plan's tilings they belong in, so
// that the session can take them in; a window's arrival is looked at without waiting for the
// next poll.
TEST(ConductorTests, TellsWhichOpenedWindowsItPlacedAndLooksAtOnceWhenAsked) {
  for (bool atArrival : {false, true}) {
    SCOPED_TRACE(atArrival);
    ConductorDesk c;
    c.install({0, {}, seconds(0.1), false});
    auto plan = launchingPlan();
    plan.tilings["LEFT"] =
        Tiling::make("LEFT", Template::withID("halves")->shape, std::nullopt, {11});
    std::vector<ApplyPlan::Move> told;
    std::map<std::string, Tiling> tilings;
    c.conductor.onPlacedOpened = [&](const auto& placed, const auto& planned, const World& world) {
      told = placed;
      tilings = planned;
      EXPECT_EQ(world.windows.size(), 4u) << "the snapshot the window was found in";
    };
    c.apply(plan);
    c.desk.clock.advance(seconds(0.1));
    if (atArrival) c.conductor.lookNow();
    EXPECT_EQ(c.placedAt(31), atArrival ? std::optional(0.1) : std::nullopt);
    c.desk.clock.advance(seconds(0.1));
    EXPECT_EQ(c.placedAt(31), atArrival ? 0.1 : 0.2);
    EXPECT_EQ(told, (std::vector<ApplyPlan::Move>{{31, kNotes, "LEFT", 1, kRightHalf}}));
    EXPECT_EQ(tilings, plan.tilings);
    EXPECT_FALSE(c.conductor.isLaunching());
  }
}

TEST(ConductorTests, AsksOnceAfterFourSecondsAndGivesUpAfterTwenty) {
  struct Case {
    std::optional<double> firstWindow;
    bool onlyAfterSecondOpen;
    std::optional<double> placedAt;
  };
  // Asked at the 4.5 s poll; the second open's window comes 1.2 s later, placed at 6 s.
  for (auto [firstWindow, onlyAfterSecondOpen, placedAt] :
       {Case{1.2, true, 6.0}, Case{std::nullopt, false, std::nullopt}}) {
    SCOPED_TRACE(onlyAfterSecondOpen);
    ConductorDesk c;
    c.install({0,
               {},
               firstWindow ? std::optional(seconds(*firstWindow)) : std::nullopt,
               onlyAfterSecondOpen});

    c.apply(launchingPlan());
    c.desk.clock.advance(seconds(19.9));
    EXPECT_EQ(c.conductor.isPlacing(), !placedAt);
    c.desk.clock.advance(seconds(0.1));
    EXPECT_FALSE(c.conductor.isPlacing());
    EXPECT_EQ(c.ended, 1);
    EXPECT_EQ(c.placedAt(31), placedAt);
    EXPECT_EQ(c.opens(), 2u);
    c.desk.sim.clearCalls();
    c.desk.clock.advance(seconds(60));
    EXPECT_TRUE(c.desk.sim.calls().empty()) << "no polling after the wait ended";

    auto frame = c.desk.sim.window(31);
    std::vector<platform::LogRecord> expected{
        info("Applied Morning: 1 of 1 windows in 0 seconds"),
        info("Applied Morning in 0 seconds; 1 apps to open, 0 failures"),
        info("Notes opened with no windows; asking for one")};
    if (placedAt) {
      ASSERT_TRUE(frame);
      EXPECT_EQ(frame->frame, kRightHalf);
      expected.push_back(info("Placed 1 opened windows; 0 apps still to show one"));
    } else {
      EXPECT_FALSE(frame);
      expected.push_back({LogLevel::notice, platform::LogCategory::engine,
                          "Gave up waiting for windows of [\"com.example.notes\"]"});
    }
    EXPECT_EQ(c.logged(), expected);
    EXPECT_EQ(c.desk.sim.window(12)->frame, (CGRect{200, 200, 600, 400}));
  }
}

TEST(ConductorTests, ARunningAppWithoutAWindowIsAskedOnceInsteadOfOpened) {
  auto world = smallWorld();
  world.apps.push_back({kNotes, kNotesApp.bundleID, kNotesApp.name, false});
  ConductorDesk c(world);
  c.install({0, {}, seconds(0.7), false});
  auto plan = launchingPlan();
  plan.launches[0].isRunning = true;

  c.apply(plan);
  EXPECT_EQ(c.opens(), 0u);
  c.desk.clock.advance(seconds(10));

  EXPECT_EQ(c.opens(), 1u);        // asked at the 4.5 s look
  EXPECT_EQ(c.placedAt(31), 5.5);  // its window came at 5.2 s
  EXPECT_EQ(c.logged(),
            (std::vector{info("Applied Morning: 1 of 1 windows in 0 seconds"),
                         info("Applied Morning in 0 seconds; 0 apps to open, 0 failures"),
                         info("Notes opened with no windows; asking for one"),
                         info("Placed 1 opened windows; 0 apps still to show one")}));
}

TEST(ConductorTests, AnAppThatCannotBeOpenedIsReportedAndThePlanStillRuns) {
  // An app that could not be opened reached only the log, and the summary said "0 failures".
  ConductorDesk c;  // Notes is not installed
  auto report = c.apply(launchingPlan());
  EXPECT_EQ(c.failedOpens, std::vector{kNotesApp});
  EXPECT_EQ(report.failures, std::vector<std::string>{"Notes isn’t installed."});
  EXPECT_FALSE(c.conductor.isPlacing());
  EXPECT_FALSE(c.conductor.isLaunching());
  EXPECT_EQ(c.ended, 1);
  EXPECT_EQ(c.desk.sim.window(11)->frame, kLeftHalf);
  EXPECT_EQ(c.logged(), (std::vector<platform::LogRecord>{
                            info("Applied Morning: 1 of 1 windows in 0 seconds"),
                            {LogLevel::error, platform::LogCategory::engine,
                             "Opening Notes failed: Notes isn’t installed"},
                            info("Applied Morning in 0 seconds; 1 apps to open, 1 failures")}));
}

TEST(ConductorTests, StopEndsTheWaitAsStopped) {
  ConductorDesk c;
  c.install({0, {}, seconds(5), false});
  c.apply(launchingPlan());
  c.desk.clock.advance(seconds(0.2));  // one look
  c.conductor.stop();
  EXPECT_FALSE(c.conductor.isPlacing());
  EXPECT_EQ(c.stopped, 1);
  c.desk.clock.advance(seconds(30));
  EXPECT_EQ(c.ended, 0);
  EXPECT_EQ(c.placedAt(31), std::nullopt);
  EXPECT_EQ(c.opens(), 1u);
  EXPECT_EQ(c.logged().size(), 2u);  // only the apply's lines
  c.conductor.stop();                // nothing under way: no callback
  EXPECT_EQ(c.stopped, 1);
}

// Leaving full screen slept on the main queue, looking every 0.1 s until the windows settled
// or 3 s passed: the app did nothing else meanwhile. Now the wait returns at once and looks
// only when the workspace announces a change, at 1.5 s and at 3 s.
TEST(ConductorTests, LeavesFullScreenOnTheWorkspacesCues) {
  using Kind = platform::WorkspaceNotification::Kind;
  struct Case {
    double delay;
    int switches;
    bool announced;  // the window's full-screen change is announced when it happens
    double elapsed;
  };
  // With Space switches the window is seen out at its announcement; without any, the look at
  // 1.5 s finds it out; a window that does not say so is still found out at 1.5 s.
  for (auto [delay, switches, announced, elapsed] :
       {Case{1.2, 2, true, 1.2}, Case{0.3, 0, true, 1.5}, Case{1.2, 2, false, 1.5}}) {
    SCOPED_TRACE(delay);
    auto world = smallWorld();
    world.windows[2].isFullScreen = true;
    ConductorDesk c(world);
    c.desk.sim.leaveFullScreenSlowly(21, seconds(delay), switches);
    auto before = c.conductor.snapshot();
    std::map<std::uint32_t, CGRect> frames{{21, kRightHalf}, {11, kLeftHalf}};
    ASSERT_EQ(Conductor::fullScreenAmong(frames, before), std::vector<std::uint32_t>{21});
    auto start = c.desk.clock.now();
    std::optional<std::vector<std::uint32_t>> left;
    std::optional<platform::ContinuousInstant> settledAt;

    c.conductor.leaveFullScreen({21}, [&](const std::vector<std::uint32_t>& ids) {
      left = ids;
      settledAt = c.desk.clock.now();
    });
    // After the simulated desktop lets the window out.
    if (announced)
      c.desk.clock.schedule(seconds(delay), [&] {
        c.desk.sim.post({Kind::windowFullScreenDidChange, {}, 21});
      });

    EXPECT_EQ(c.desk.clock.now(), start);  // nothing waited on the main context
    EXPECT_TRUE(c.conductor.isLeavingFullScreen());
    c.desk.sim.clearCalls();
    c.desk.clock.advance(seconds(5));
    ASSERT_EQ(left, std::vector<std::uint32_t>{21});
    EXPECT_FALSE(c.conductor.isLeavingFullScreen());
    EXPECT_EQ(*settledAt - start, seconds(elapsed));
    EXPECT_FALSE(c.desk.sim.window(21)->isFullScreen);
    EXPECT_TRUE(Conductor::fullScreenAmong(frames, c.conductor.snapshot()).empty());
    auto took = platform::describe(seconds(elapsed));
    EXPECT_EQ(c.logged(), (std::vector{info("1 windows left full screen in " + took +
                                            "; Space switches heard: " + std::to_string(switches) +
                                            ", settled: true")}));
  }
}

// A window that never leaves ends the wait at 3 s, unsettled; a stop ends it without a word.
TEST(ConductorTests, TheWaitForFullScreenEndsAtThreeSecondsOrAtAStop) {
  auto world = smallWorld();
  world.windows[2].isFullScreen = true;
  ConductorDesk c(world);
  c.desk.sim.leaveFullScreenSlowly(21, seconds(60), 0);
  std::optional<std::vector<std::uint32_t>> left;
  c.conductor.leaveFullScreen({21}, [&](const auto& ids) { left = ids; });
  c.desk.clock.advance(seconds(2.9));
  EXPECT_FALSE(left);
  c.desk.clock.advance(seconds(0.1));
  EXPECT_EQ(left, std::vector<std::uint32_t>{});
  EXPECT_EQ(c.logged(), (std::vector{info("0 windows left full screen in 3 seconds; Space "
                                          "switches heard: 0, settled: false")}));

  bool called = false;
  c.conductor.leaveFullScreen({21}, [&](const auto&) { called = true; });
  c.conductor.stop();
  c.desk.clock.advance(seconds(5));
  EXPECT_FALSE(called);
  EXPECT_FALSE(c.conductor.isLeavingFullScreen());
}

TEST(ConductorTests, UndoPutsEveryWindowBack) {
  auto world = smallWorld();
  world.windows[2].isFullScreen = true;
  ConductorDesk c(world);
  ApplyPlan plan;
  plan.title = "Morning";
  plan.moves = {{11, kEditor, "LEFT", 0, kLeftHalf},
                {12, kEditor, "LEFT", 1, kRightHalf},
                {21, kViewer, "LEFT", 2, kRightHalf}};
  c.conductor.leaveFullScreen({21}, [](const auto&) {});
  c.desk.clock.advance(seconds(1.5));
  c.apply(plan);
  ASSERT_EQ(c.desk.sim.window(12)->frame, kRightHalf);

  UndoEntry entry;
  entry.title = "Undo Morning";
  for (const auto& window : world.windows)
    entry.frames[window.id] = window.frame;
  entry.fullScreen = {21};

  EXPECT_EQ(c.conductor.undo(entry, c.conductor.snapshot()), 3u);

  for (const auto& before : world.windows) {
    auto now = c.desk.sim.window(before.id);
    EXPECT_EQ(now->isFullScreen, before.isFullScreen) << before.id;
    if (!before.isFullScreen) {
      EXPECT_EQ(now->frame, before.frame) << before.id;
    }
  }
}

TEST(ConductorTests, AppliesALayoutPlannedOnTheSnapshotWithItsFloatingApps) {
  ConductorDesk c;
  c.conductor.floating = {"com.example.editor"};
  auto entry = LayoutEntry::templateEntry(*Template::withID("halves"));
  auto world = c.conductor.snapshot();
  EXPECT_EQ(world.floating, c.conductor.floating);
  auto plan = ApplyPlan::forLayout(entry, "LEFT", world, Gaps{8, 8});

  auto report = c.conductor.apply(plan, world, {Gaps{8, 8}, platform::Duration{0}});

  EXPECT_EQ(report.before, world);
  ASSERT_EQ(report.plan.moves.size(), 1u);
  EXPECT_EQ(report.plan.moves[0].window, 21u);
  EXPECT_EQ(c.desk.sim.window(21)->frame, report.plan.moves[0].frame);
  EXPECT_EQ(c.desk.sim.window(11)->frame, (CGRect{100, 100, 800, 600}));
  EXPECT_EQ(c.desk.sim.window(12)->frame, (CGRect{200, 200, 600, 400}));
}

}  // namespace
}  // namespace kestles::engine
