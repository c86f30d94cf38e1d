#include "KestlesEngine/x11/X11Layer.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <set>
#include <thread>

#include "KestlesEngine/engine/EngineParts.hpp"
#include "KestlesEngine/engine/InstalledApps.hpp"
#include "KestlesEngine/platform/ThreadTime.hpp"
#include "KestlesEngine/sim/MemoryLog.hpp"
#include "tests/x11/support/PlacementCases.hpp"
#include "tests/x11/support/XSession.hpp"

namespace kestles::x11 {
namespace {

using engine::WindowEngine;
using testing::Frame;
using testing::XSession;
namespace ax = platform::ax;
namespace ax_error = platform::ax_error;

Frame frameOf(const CGRect& rect) {
  return {std::int32_t(rect.minX()), std::int32_t(rect.minY()), std::int32_t(rect.width()),
          std::int32_t(rect.height())};
}

const WindowSnapshot* find(const World& world, xcb_window_t id) {
  auto found = std::find_if(world.windows.begin(), world.windows.end(),
                            [&](const WindowSnapshot& w) { return w.id == id; });
  return found == world.windows.end() ? nullptr : &*found;
}

/// The engine over the X11 layer of a test session, with the real clock and threads.
struct LayerDesk {
  explicit LayerDesk(const std::string& display)
      : layer(X11Layer::open(display)),
        parts(layer->parts()),
        engineParts(engine::EngineParts::Desktop::of(parts), log,
                    {clock, timers, queue, parallel, timers}) {
    engine.start();
  }

  World snapshot() { return engine.snapshot(apps.list(), displays.setup()); }

  std::unique_ptr<X11Layer> layer;
  platform::LayerParts parts;
  sim::MemoryLog log;
  platform::SteadyClock clock;
  platform::ThreadTimers timers{clock};
  platform::SerialQueue queue;
  platform::ThreadParallelFor parallel;
  engine::EngineParts engineParts;
  WindowEngine& engine = engineParts.engine;
  engine::RunningApps& apps = engineParts.runningApps;
  engine::Displays& displays = engineParts.displays;
};

/// What observers heard, in order, waited for with a bound.
class Heard {
 public:
  void add(std::string what) {
    std::lock_guard lock(mutex_);
    heard_.push_back(std::move(what));
    changed_.notify_all();
  }
  std::size_t count(const std::string& what) {
    std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(std::count(heard_.begin(), heard_.end(), what));
  }
  bool waitFor(const std::string& what, std::size_t times = 1) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(5), [&] {
      return static_cast<std::size_t>(std::count(heard_.begin(), heard_.end(), what)) >= times;
    });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> heard_;
};

/// Asks the window manager to show another desktop, as a pager does.
void switchDesktop(XSession& session, std::uint32_t desktop) {
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = session.root();
  message.type = session.atom("_NET_CURRENT_DESKTOP");
  message.data.data32[0] = desktop;
  xcb_send_event(session.probe(), 0, session.root(),
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&message));
  xcb_flush(session.probe());
}

/// A private XDG data folder with one desktop entry that claims the class "EntryClass".
class DataFolder {
 public:
  DataFolder() {
    char folder[] = "/tmp/kestles-x11-data-XXXXXX";
    path_ = mkdtemp(folder);
    std::filesystem::create_directories(path_ / "applications");
    std::ofstream(path_ / "applications/org.example.Entry.desktop")
        << "[Desktop Entry]\nType=Application\nName=Entry App\nStartupWMClass=EntryClass\n"
        // Launched apps read nothing: the pipe from sleep keeps the client open a while.
        << "Exec=sh -c \"sleep 20 | exec " << testing::testWindowProgram()
        << " --class entry,EntryClass\" %U\n";
    const char* old = std::getenv("XDG_DATA_HOME");
    if (old) saved_ = old;
    setenv("XDG_DATA_HOME", path_.c_str(), 1);
  }
  ~DataFolder() {
    if (saved_)
      setenv("XDG_DATA_HOME", saved_->c_str(), 1);
    else
      unsetenv("XDG_DATA_HOME");
    std::filesystem::remove_all(path_);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::optional<std::string> saved_;
};

TEST(X11LayerTests, SnapshotListsExactlyTheStandardWindows) {
  DataFolder data;
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto plain = session->openWindows({"--pos", "10,10", "--title", "Plain “window”"});
  auto typed = session->openWindows({"--pos", "400,10", "--type", "normal", "--class",
                                     "entry,EntryClass", "--min", "200x100", "--max", "800x600"});
  auto legacy = session->openWindows({"--count", "2", "--legacy-title", "--title", "Legacy"});
  auto fixed = session->openWindows(
      {"--pos", "800,10", "--min", "300x200", "--max", "300x200", "--size", "300x200"});
  std::string parent = std::to_string(plain.id());
  auto others = {
      session->openWindows({"--type", "dialog"}),
      session->openWindows({"--transient-for", parent}),
      session->openWindows({"--type", "utility"}),
      session->openWindows({"--type", "dock", "--strut", "0,0,30,0,0,0,0,0,0,1919,0,0"}),
      session->openWindows({"--override-redirect"}),
  };
  (void)others;
  LayerDesk desk(session->display());
  auto world = desk.snapshot();

  std::set<std::uint32_t> ids;
  for (const auto& w : world.windows)
    ids.insert(w.id);
  EXPECT_EQ(ids, (std::set<std::uint32_t>{plain.id(), typed.id(), legacy.ids[0], legacy.ids[1],
                                          fixed.id()}));
  for (const auto& w : world.windows)
    EXPECT_EQ(session->frameOf(w.id), frameOf(w.frame)) << w.title;

  const auto* p = find(world, plain.id());
  ASSERT_TRUE(p);
  EXPECT_EQ(p->title, "Plain “window”");
  EXPECT_EQ(p->bundleID, "KestlesTest");  // no desktop entry: the class
  EXPECT_EQ(p->pid, plain.process->pid());
  EXPECT_TRUE(p->isResizable);
  const auto* t = find(world, typed.id());
  ASSERT_TRUE(t);
  EXPECT_EQ(t->bundleID, "org.example.Entry");
  EXPECT_EQ(t->appName, "Entry App");
  EXPECT_FALSE(find(world, fixed.id())->isResizable);
  // Titles only WM_NAME holds.
  EXPECT_EQ(find(world, legacy.ids[0])->title, "Legacy 1");
  EXPECT_EQ(find(world, legacy.ids[1])->title, "Legacy 2");

  // One app per process, in the order its first window was mapped.
  ASSERT_EQ(world.apps.size(), 4u);
  EXPECT_EQ(world.apps[0].pid, plain.process->pid());
  EXPECT_EQ(world.apps[1],
            (AppSnapshot{typed.process->pid(), "org.example.Entry", "Entry App", false}));
  // Front to back as the manager stacks them (openbox puts the last window mapped in front;
  // xfwm4 raises a transient's parent with it).
  auto stacking = session->cardinals(session->root(), "_NET_CLIENT_LIST_STACKING");
  std::vector<std::uint32_t> stacked;
  for (auto it = stacking.rbegin(); it != stacking.rend(); ++it)
    if (ids.contains(*it)) stacked.push_back(*it);
  std::vector<std::uint32_t> byZ(ids.begin(), ids.end());
  std::sort(byZ.begin(), byZ.end(),
            [&](auto a, auto b) { return find(world, a)->zIndex < find(world, b)->zIndex; });
  EXPECT_EQ(byZ, stacked);

  // Installed: the entry of the private data folder; running without an entry: the class.
  auto installed =
      engine::InstalledApps(desk.parts.catalog, desk.parts.workspace, desk.clock).list();
  for (const AppRef& app :
       {AppRef{"org.example.Entry", "Entry App"}, AppRef{"KestlesTest", "KestlesTest"}})
    EXPECT_NE(std::find(installed.begin(), installed.end(), app), installed.end()) << app.bundleID;
  EXPECT_EQ(desk.parts.opener.applicationURL("org.example.Entry"),
            data.path() / "applications/org.example.Entry.desktop");
  EXPECT_EQ(desk.parts.opener.applicationURL("org.example.Missing"), std::nullopt);
}

TEST(X11LayerTests, SnapshotRoundTripsDoNotGrowWithTheWindows) {
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  LayerDesk desk(session->display());
  auto roundTripsOfSnapshot = [&] {
    auto before = desk.layer->roundTrips();
    desk.snapshot();
    return desk.layer->roundTrips() - before;
  };
  auto one = session->openWindows({});
  auto many = session->openWindows({"--count", "30"});
  auto others = session->openWindows({"--count", "5", "--class", "other,Other"});
  ASSERT_TRUE(session->waitUntil([&] { return desk.snapshot().windows.size() == 36; }));
  // A whole-desktop read serves every app's and window's reads that follow it. An event that
  // comes in the middle of one snapshot makes it read again, so the least of three counts.
  auto fewest = std::min({roundTripsOfSnapshot(), roundTripsOfSnapshot(), roundTripsOfSnapshot()});
  EXPECT_LE(fewest, 8u);
}

TEST(X11LayerTests, TheEnginePlacesWindowsAndReadsBackWhereTheyLanded) {
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  LayerDesk desk(session->display());
  for (const auto& c : testing::kManagedPlacements) {
    auto flags = c.flags;
    flags.insert(flags.end(), {"--pos", "5,5"});
    auto windows = session->openWindows(flags);
    auto world = desk.snapshot();
    const auto* window = find(world, windows.id());
    ASSERT_TRUE(window) << c.name;
    CGRect target(c.target.x, c.target.y, c.target.width, c.target.height);
    auto outcome = desk.engine.place({{windows.id(), target, std::nullopt, 0}}, world, {});
    EXPECT_TRUE(outcome.failures.empty()) << c.name;
    ASSERT_TRUE(outcome.frames.contains(windows.id())) << c.name;
    auto landing = testing::landingOf(c, session->cardinals(windows.id(), "_NET_FRAME_EXTENTS"),
                                      *session->windowManager());
    EXPECT_EQ(frameOf(outcome.frames[windows.id()]), landing) << c.name;
    EXPECT_EQ(session->frameOf(windows.id()), landing) << c.name;
  }
}

// A glide shows the window on its way, each frame between where it was and its target,
// and ends exactly at the target.
TEST(X11LayerTests, AGlideShowsFramesOnTheWayAndLandsExactly) {
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or the window manager is missing";
  auto windows = session->openWindows({"--pos", "5,5", "--size", "400x300"});
  LayerDesk desk(session->display());
  auto world = desk.snapshot();
  auto start = *session->frameOf(windows.id());
  Frame target{800, 400, 600, 400};
  std::vector<Frame> seen;
  std::atomic<bool> gliding = true;
  std::thread watcher([&] {
    while (gliding) {
      auto now = session->frameOf(windows.id());
      if (now && (seen.empty() || seen.back() != *now)) seen.push_back(*now);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  auto outcome = desk.engine.place({{windows.id(), CGRect(800, 400, 600, 400), std::nullopt, 0}},
                                   world, std::chrono::milliseconds(200));
  gliding = false;
  watcher.join();
  EXPECT_EQ(session->frameOf(windows.id()), target);
  ASSERT_TRUE(outcome.frames.contains(windows.id()));
  EXPECT_EQ(frameOf(outcome.frames[windows.id()]), target);
  auto onTheWay = std::count_if(seen.begin(), seen.end(), [&](const Frame& f) {
    return f.x > start.x && f.x < target.x && f.y > start.y && f.y < target.y;
  });
  EXPECT_GE(onTheWay, 2) << "frames seen: " << seen.size();
  for (const auto& f : seen) {
    EXPECT_TRUE(f.x >= start.x && f.x <= target.x && f.width >= start.width &&
                f.width <= target.width)
        << f.x << "," << f.y << " " << f.width << "x" << f.height;
  }
}

// Terminals snap to their cells and windows without hints land exactly: one batch places
// them all, and what the engine reports is what the server says.
TEST(X11LayerTests, OneBatchTilesTerminalsAndWindowsWithoutHints) {
  auto session = XSession::start({});
  if (!session || !testing::testProgramExists("xterm"))
    GTEST_SKIP() << "Xvfb, the window manager or xterm is missing";
  std::vector<testing::TestWindows> xterms;
  std::vector<xcb_window_t> terminals;
  for (auto geometry : {"60x20+10+10", "60x20+300+10", "60x20+10+300"}) {
    xterms.push_back(session->openXterm({"-geometry", geometry}));
    ASSERT_EQ(xterms.back().ids.size(), 1u);
    terminals.push_back(xterms.back().id());
  }
  auto plain = session->openWindows({"--count", "3", "--pos", "40,40"});
  ASSERT_EQ(plain.ids.size(), 3u);
  LayerDesk desk(session->display());
  auto world = desk.snapshot();
  std::vector<WindowEngine::MoveRequest> moves;
  std::vector<xcb_window_t> windows = terminals;
  windows.insert(windows.end(), plain.ids.begin(), plain.ids.end());
  for (std::size_t i = 0; i < windows.size(); ++i)
    moves.push_back({windows[i], CGRect(double(i % 3) * 640, double(i / 3) * 500, 640, 500),
                     std::nullopt, int(i)});
  auto outcome = desk.engine.place(moves, world, {});
  EXPECT_EQ(outcome.failures, std::vector<std::string>{});
  for (const auto& move : moves) {
    SCOPED_TRACE(move.window);
    ASSERT_TRUE(outcome.frames.contains(move.window));
    const auto& landed = outcome.frames.at(move.window);
    EXPECT_EQ(session->frameOf(move.window), frameOf(landed));
    EXPECT_EQ(landed.origin, move.frame.origin);
    bool terminal = std::find(terminals.begin(), terminals.end(), move.window) != terminals.end();
    if (!terminal) {
      EXPECT_EQ(landed, move.frame);
      continue;
    }
    // Within one cell (6 × 13) of the tile, never larger.
    EXPECT_LE(landed.width(), 640);
    EXPECT_GT(landed.width(), 640 - 6);
    EXPECT_LE(landed.height(), 500);
    EXPECT_GT(landed.height(), 500 - 13);
  }
}

// A terminal's size is foretold only once the manager has shown whether it rounds sizes to
// the cells (some leave that to the client); from then on it is the size the terminal takes.
TEST(X11LayerTests, TerminalSizesAreForetoldOnceTheManagerShowedItsRounding) {
  auto session = XSession::start({});
  if (!session || !testing::testProgramExists("xterm"))
    GTEST_SKIP() << "Xvfb, the window manager or xterm is missing";
  auto xterm = session->openXterm({"-geometry", "60x20+10+10"});
  ASSERT_EQ(xterm.ids.size(), 1u);
  LayerDesk desk(session->display());
  auto& ax = desk.parts.ax;
  std::vector<platform::FrameRequest> first{
      {element::window(xterm.id()), 0, {0, 0, 640, 500}, std::nullopt}};
  EXPECT_EQ(ax.fittedSizes(first), std::vector<std::optional<CGSize>>{std::nullopt});
  ASSERT_EQ(ax.setFrames(first).front().error, ax_error::success);

  std::vector<platform::FrameRequest> second{
      {element::window(xterm.id()), 0, {20, 20, 700, 450}, std::nullopt}};
  auto foretold = ax.fittedSizes(second).front();
  ASSERT_TRUE(foretold);
  auto landed = ax.setFrames(second).front().landed;
  ASSERT_TRUE(landed);
  EXPECT_EQ(*foretold, landed->size);
}

TEST(X11LayerTests, AWindowThatVanishesIsAFailureOfThatWindowOnly) {
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto kept = session->openWindows({"--pos", "10,10"});
  auto gone = session->openWindows({"--pos", "400,10", "--class", "gone,GoneClass"});
  LayerDesk desk(session->display());
  auto world = desk.snapshot();
  ASSERT_EQ(world.windows.size(), 2u);
  auto goneID = gone.id();
  gone.process->stop();
  ASSERT_TRUE(session->waitUntil([&] { return !session->frameOf(goneID); }));

  auto outcome = desk.engine.place({{kept.id(), {100, 100, 400, 300}, std::nullopt, 0},
                                    {goneID, {600, 100, 400, 300}, std::nullopt, 0}},
                                   world, {});
  EXPECT_EQ(outcome.failures, std::vector<std::string>{"Couldn't move GoneClass"});
  EXPECT_EQ(outcome.frames.size(), 1u);
  EXPECT_EQ(session->frameOf(kept.id()), (Frame{100, 100, 400, 300}));

  // A window that goes as soon as its new size reaches it, while the batch waits for the
  // landings: it either landed before it went or is a failure, and the other window lands.
  auto midway = session->openWindows({"--pos", "400,10", "--vanish-when-resized"});
  world = desk.snapshot();
  outcome = desk.engine.place({{kept.id(), {200, 200, 400, 300}, std::nullopt, 0},
                               {midway.id(), {600, 100, 500, 300}, std::nullopt, 0}},
                              world, {});
  EXPECT_EQ(outcome.frames.at(kept.id()), CGRect(200, 200, 400, 300));
  EXPECT_EQ(session->frameOf(kept.id()), (Frame{200, 200, 400, 300}));
  if (outcome.frames.contains(midway.id()))
    EXPECT_EQ(outcome.frames.at(midway.id()), CGRect(600, 100, 500, 300));
  else
    EXPECT_EQ(outcome.failures, std::vector<std::string>{"Couldn't move KestlesTest"});
  EXPECT_TRUE(session->waitUntil([&] { return !session->frameOf(midway.id()); }));

  // Every call on the element of a window that is gone answers that it is invalid.
  auto& a = desk.parts.ax;
  auto element = element::window(goneID);
  EXPECT_EQ(a.copyValue(element, ax::position).error, ax_error::invalidElement);
  EXPECT_EQ(a.copyValues(element, std::array{ax::subrole, ax::position}), std::nullopt);
  EXPECT_EQ(a.setPosition(element, {0, 0}), ax_error::invalidElement);
  EXPECT_EQ(a.setSize(element, {300, 300}), ax_error::invalidElement);
  EXPECT_EQ(a.setValue(element, ax::minimized, platform::AXValue{true}), ax_error::invalidElement);
  EXPECT_EQ(a.perform(element, ax::raise), ax_error::invalidElement);
  EXPECT_EQ(desk.parts.windowServer.windowWithID(goneID), std::nullopt);
}

// Regression: windows without `_NET_WM_PID` belonged to no app, so the focused one was
// not the focused window and keys acted on another.
TEST(X11LayerTests, WindowsThatNameNoProcessAreAnAppOfTheirOwn) {
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or the window manager is missing";
  auto named = session->openWindows({"--pos", "10,10"});
  auto other = session->openWindows({"--no-pid", "--pos", "600,10", "--class", "other,Other"});
  auto bare = session->openWindows({"--no-pid", "--count", "2", "--pos", "300,300"});
  ASSERT_TRUE(session->waitUntil([&] { return session->activeWindow() == bare.ids[1]; }));
  LayerDesk desk(session->display());
  auto world = desk.snapshot();

  // One app per connection that made the windows, with a pid no process can have.
  ASSERT_EQ(world.apps.size(), 3u);
  const auto* first = find(world, bare.ids[0]);
  const auto* second = find(world, bare.ids[1]);
  ASSERT_TRUE(first && second && find(world, other.id()));
  EXPECT_EQ(first->pid, second->pid);
  EXPECT_EQ(first->bundleID, "KestlesTest");
  EXPECT_NE(find(world, other.id())->pid, first->pid);
  EXPECT_GT(first->pid, 4 * 1024 * 1024);
  EXPECT_EQ(find(world, named.id())->pid, named.process->pid());

  EXPECT_EQ(desk.engine.focusedWindow()->id, bare.ids[1]);
  desk.engine.raise({bare.ids[0]}, bare.ids[0]);
  EXPECT_TRUE(session->waitUntil([&] { return session->activeWindow() == bare.ids[0]; }));
  EXPECT_EQ(desk.engine.focusedWindow()->id, bare.ids[0]);

  auto pid = first->pid;
  EXPECT_TRUE(desk.parts.workspace.processExists(pid));
  bare.process->stop();
  EXPECT_TRUE(session->waitUntil([&] { return !desk.parts.workspace.processExists(pid); }));
}

TEST(X11LayerTests, ObserversHearWindowsComeAndGoAndTheWorkspaceHearsApps) {
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  LayerDesk desk(session->display());
  auto& a = desk.parts.ax;
  Heard heard;
  desk.parts.workspace.observe([&](const platform::WorkspaceNotification& note) {
    using Kind = platform::WorkspaceNotification::Kind;
    if (note.kind == Kind::didLaunch) heard.add("launch " + std::to_string(note.app->pid));
    if (note.kind == Kind::didTerminate) heard.add("end " + std::to_string(note.app->pid));
    if (note.kind == Kind::activeSpaceDidChange) heard.add("space");
    if (note.kind == Kind::windowFullScreenDidChange)
      heard.add("full screen " + std::to_string(note.window.value_or(0)));
  });
  auto windows = session->openWindows({"--pos", "10,10"});
  auto pid = windows.process->pid();
  ASSERT_TRUE(heard.waitFor("launch " + std::to_string(pid)));

  auto observer = a.createObserver(pid, [&](platform::AXElement subject, const std::string& name) {
    heard.add(name + " " + std::to_string(element::valueOf(subject)));
  });
  ASSERT_TRUE(observer);
  auto app = a.application(pid);
  for (auto name : {ax::windowCreated, ax::windowMiniaturized, ax::windowDeminiaturized})
    EXPECT_EQ(a.addNotification(*observer, app, name), ax_error::success);
  EXPECT_EQ(a.addNotification(*observer, app, ax::windowCreated),
            ax_error::notificationAlreadyRegistered);

  windows.process->writeLine("open");
  auto line = windows.process->readLine();
  ASSERT_TRUE(line);
  auto second = static_cast<xcb_window_t>(std::stoul(*line, nullptr, 16));
  ASSERT_TRUE(heard.waitFor(std::string(ax::windowCreated) + " " + std::to_string(second)));
  EXPECT_EQ(a.addNotification(*observer, element::window(second), ax::elementDestroyed),
            ax_error::success);

  ASSERT_TRUE(a.setBool(element::window(second), ax::minimized, true));
  EXPECT_TRUE(heard.waitFor(std::string(ax::windowMiniaturized) + " " + std::to_string(second)));
  ASSERT_TRUE(a.setBool(element::window(second), ax::minimized, false));
  EXPECT_TRUE(heard.waitFor(std::string(ax::windowDeminiaturized) + " " + std::to_string(second)));
  // The workspace announces the window's way into full screen and out of it.
  auto fullScreen = "full screen " + std::to_string(second);
  ASSERT_TRUE(a.setBool(element::window(second), ax::fullScreen, true));
  EXPECT_TRUE(heard.waitFor(fullScreen));
  ASSERT_TRUE(a.setBool(element::window(second), ax::fullScreen, false));
  EXPECT_TRUE(heard.waitFor(fullScreen, 2));

  // A desktop switch unmaps every window: that is a Space change, and no window goes.
  auto first = std::string(ax::elementDestroyed) + " " + std::to_string(windows.id());
  EXPECT_EQ(a.addNotification(*observer, element::window(windows.id()), ax::elementDestroyed),
            ax_error::success);
  switchDesktop(*session, 1);
  EXPECT_TRUE(heard.waitFor("space"));
  switchDesktop(*session, 0);
  EXPECT_TRUE(heard.waitFor("space", 2));
  EXPECT_EQ(heard.count(first), 0u);

  windows.process->writeLine("close");
  EXPECT_TRUE(heard.waitFor(std::string(ax::elementDestroyed) + " " + std::to_string(second)));
  EXPECT_EQ(heard.count(first), 0u);
  windows.process->stop();
  EXPECT_TRUE(heard.waitFor("end " + std::to_string(pid)));
  EXPECT_EQ(a.createObserver(pid, [](platform::AXElement, const std::string&) {}), std::nullopt);
}

TEST(X11LayerTests, RaisingAndFocusFollowTheEngine) {
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto windows = session->openWindows({"--count", "3", "--pos", "10,10"});
  // openbox focuses a new window a moment after managing it; let that settle first.
  ASSERT_TRUE(session->waitUntil([&] { return session->activeWindow() == windows.ids[2]; }));
  LayerDesk desk(session->display());
  desk.snapshot();
  desk.engine.raise({windows.ids[1], windows.ids[0]}, windows.ids[0]);
  EXPECT_EQ(desk.engine.focusedWindow()->id, windows.ids[0]);
  auto world = desk.snapshot();
  std::vector<std::int64_t> zIndexes;
  for (const auto& w : world.windows)
    zIndexes.push_back(w.zIndex);
  EXPECT_EQ(zIndexes, (std::vector<std::int64_t>{0, 1, 2}));  // read order is mapping order
  EXPECT_TRUE(desk.parts.ax.boolean(element::window(windows.ids[0]), ax::main).value_or(false));
  EXPECT_TRUE(
      desk.parts.ax.boolean(desk.parts.ax.application(windows.process->pid()), ax::frontmost)
          .value_or(false));

  // A window that declines input is raised, and the focus stays where it was.
  auto noInput = session->openWindows({"--no-input", "--pos", "10,10"});
  desk.snapshot();
  desk.engine.raise({noInput.id()}, noInput.id());
  EXPECT_EQ(find(desk.snapshot(), noInput.id())->zIndex, 0);
  EXPECT_EQ(desk.engine.focusedWindow()->id, windows.ids[0]);
  EXPECT_EQ(
      desk.parts.ax
          .copyValue(desk.parts.ax.application(windows.process->pid()), ax::enhancedUserInterface)
          .error,
      ax_error::attributeUnsupported);
}

TEST(X11LayerTests, RaisedWindowsStandInTheirOrderWhicheverAppOwnsThem) {
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or the window manager is missing";
  auto mine = session->openWindows({"--count", "2", "--pos", "10,10"});
  auto other = session->openWindows({"--pos", "60,60"});
  ASSERT_TRUE(session->waitUntil([&] { return session->activeWindow() == other.id(); }));
  LayerDesk desk(session->display());
  desk.snapshot();
  auto zIndexes = [&] {
    auto world = desk.snapshot();
    return std::vector<std::int64_t>{find(world, mine.ids[0])->zIndex,
                                     find(world, mine.ids[1])->zIndex,
                                     find(world, other.id())->zIndex};
  };

  // Raised app by app, the other app's window would end below both of the first app's.
  desk.engine.raise({mine.ids[0], other.id(), mine.ids[1]}, mine.ids[1]);
  EXPECT_EQ(zIndexes(), (std::vector<std::int64_t>{2, 0, 1}));
  EXPECT_EQ(session->activeWindow(), mine.ids[1]);

  // Without a window to focus, the focus stays where it was, in front of those raised.
  desk.engine.raise({other.id(), mine.ids[1], mine.ids[0]}, std::nullopt);
  EXPECT_EQ(zIndexes(), (std::vector<std::int64_t>{1, 0, 2}));
  EXPECT_EQ(session->activeWindow(), mine.ids[1]);
}

TEST(X11LayerTests, MinimizedAndOtherDesktopWindowsAreToldApart) {
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto shown = session->openWindows({"--pos", "10,10"});
  auto minimized = session->openWindows({"--pos", "300,10"});
  auto elsewhere = session->openWindows({"--desktop", "1"});
  LayerDesk desk(session->display());
  ASSERT_TRUE(desk.parts.ax.setBool(element::window(minimized.id()), ax::minimized, true));
  EXPECT_TRUE(session->hasState(minimized.id(), "_NET_WM_STATE_HIDDEN"));

  auto world = desk.snapshot();
  ASSERT_EQ(world.windows.size(), 2u);
  EXPECT_FALSE(find(world, elsewhere.id()));
  EXPECT_TRUE(find(world, minimized.id())->isMinimized);
  EXPECT_FALSE(find(world, shown.id())->isMinimized);

  // The plan's un-minimizing maps it back in front.
  WindowEngine::ApplyRequest request{"restore", {}, {minimized.id()}, {}, {}, std::nullopt};
  desk.engine.apply(request, world, {});
  world = desk.snapshot();
  EXPECT_FALSE(find(world, minimized.id())->isMinimized);
  EXPECT_EQ(find(world, minimized.id())->zIndex, 0);
}

TEST(X11LayerTests, FullScreenOnAndOff) {
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto windows = session->openWindows({"--pos", "10,10"});
  LayerDesk desk(session->display());
  // Regression: xfwm4 keeps no stacking list until it first restacks, so a lone window was
  // not on screen, and its full screen went unseen.
  auto listed = desk.parts.windowServer.onScreenWindows();
  ASSERT_TRUE(listed);
  ASSERT_EQ(listed->size(), 1u);
  EXPECT_EQ(listed->front().id, windows.id());
  auto before = find(desk.snapshot(), windows.id())->frame;
  desk.engine.setFullScreen({windows.id()}, true);
  auto states = desk.engine.fullScreenStates({windows.id()});
  EXPECT_TRUE(states[windows.id()].isFullScreen);
  EXPECT_EQ(states[windows.id()].frame, CGRect(0, 0, 1920, 1080));
  auto world = desk.snapshot();
  EXPECT_EQ(world.fullScreen, (std::map<std::string, std::uint32_t>{{"screen", windows.id()}}));
  desk.engine.setFullScreen({windows.id()}, false);
  EXPECT_EQ(desk.engine.fullScreenStates({windows.id()})[windows.id()],
            (WindowEngine::FullScreenState{false, before}));
  for (const auto& record : desk.log.records())  // no failure was logged
    EXPECT_LT(record.level, platform::LogLevel::notice) << record.message;
}

TEST(X11LayerTests, WithoutAWindowManagerTheMappedTopLevelsArePlacedDirectly) {
  auto session = XSession::start({.windowManager = false});
  if (!session) GTEST_SKIP() << "Xvfb is missing";
  auto a = session->openWindows({"--pos", "10,20", "--border", "3"});
  auto b = session->openWindows({"--pos", "500,20", "--min", "400x400"});
  auto popup = session->openWindows({"--override-redirect"});
  LayerDesk desk(session->display());
  auto world = desk.snapshot();
  ASSERT_EQ(world.windows.size(), 2u);
  EXPECT_EQ(frameOf(find(world, a.id())->frame), (Frame{10, 20, 306, 206}));
  EXPECT_EQ(find(world, b.id())->zIndex, 0);
  EXPECT_FALSE(find(world, popup.id()));

  // Nothing enforces hints without a manager: the frames land exactly, border included.
  auto outcome = desk.engine.place(
      {{a.id(), {0, 0, 800, 600}, std::nullopt, 0}, {b.id(), {800, 0, 200, 200}, std::nullopt, 0}},
      world, {});
  EXPECT_EQ(frameOf(outcome.frames[a.id()]), (Frame{0, 0, 800, 600}));
  EXPECT_EQ(session->frameOf(a.id()), (Frame{0, 0, 800, 600}));
  EXPECT_EQ(session->frameOf(b.id()), (Frame{800, 0, 200, 200}));

  EXPECT_FALSE(desk.parts.ax.setBool(element::window(a.id()), ax::fullScreen, true));
  desk.engine.raise({a.id()}, a.id());
  EXPECT_EQ(desk.engine.focusedWindow()->id, a.id());
  EXPECT_EQ(find(desk.snapshot(), a.id())->zIndex, 0);
}

TEST(X11LayerTests, ScreensAndThePointer) {
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  LayerDesk desk(session->display());
  auto setup = desk.displays.setup();
  ASSERT_EQ(setup.displays.size(), 1u);
  EXPECT_EQ(setup.displays[0].frame, CGRect(0, 0, 1920, 1080));
  xcb_warp_pointer(session->probe(), XCB_NONE, session->root(), 0, 0, 0, 0, 300, 200);
  xcb_flush(session->probe());
  ASSERT_TRUE(session->waitUntil([&] {
    return desk.parts.screens.mouseLocation() == std::optional(CGPoint{300, 200});
  }));
  EXPECT_EQ(desk.displays.underMouse()->id, "screen");
}

TEST(X11LayerTests, OpeningAnEntryStartsItsProgramDetached) {
  DataFolder data;
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  LayerDesk desk(session->display());
  auto path = desk.parts.opener.applicationURL("org.example.Entry");
  ASSERT_TRUE(path);
  EXPECT_EQ(desk.parts.opener.open(*path, true), std::nullopt);
  ASSERT_TRUE(session->waitUntil([&] {
    auto apps = desk.apps.list();
    return std::any_of(apps.begin(), apps.end(),
                       [](const AppSnapshot& app) { return app.bundleID == "org.example.Entry"; });
  }));
  auto missing = desk.parts.opener.open(data.path() / "nowhere.desktop", true);
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->back(), '.');
  // The started client keeps running on its own, in a session of its own: end that session,
  // whose `sleep` would otherwise hold the test's output open for its 20 s.
  for (const auto& app : desk.apps.list()) {
    auto group = getpgid(app.pid);
    if (app.bundleID == "org.example.Entry" && group > 1 && group != getpgrp())
      kill(-group, SIGTERM);
  }
}

TEST(X11LayerTests, ExecLinesBecomeArguments) {
  struct Case {
    const char* exec;
    std::vector<std::string> argv;
  };
  const Case cases[] = {
      {"xterm", {"xterm"}},
      {"gimp %U", {"gimp"}},
      {"env A=1 \"my app\" --x=%f 100%%", {"env", "A=1", "my app", "--x=", "100%"}},
      {"\"quoted \\\"inner\\\"\" -n", {"quoted \"inner\"", "-n"}},
      {"open \"unterminated", {}},
      {"", {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(execArguments(c.exec), c.argv) << c.exec;
}

}  // namespace
}  // namespace kestles::x11
