#include "KestlesEngine/x11/X11Platform.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>

#include "KestlesEngine/x11/X11Desktop.hpp"
#include "tests/x11/support/XSession.hpp"

namespace kestles::x11 {
namespace {

using testing::Frame;
using testing::XSession;

Frame frameOf(const CGRect& rect) {
  return {std::int32_t(rect.minX()), std::int32_t(rect.minY()), std::int32_t(rect.width()),
          std::int32_t(rect.height())};
}

const WindowSnapshot* find(const platform::WindowList& list, xcb_window_t id) {
  auto found = std::find_if(list.windows.begin(), list.windows.end(),
                            [&](const WindowSnapshot& w) { return w.id == id; });
  return found == list.windows.end() ? nullptr : &*found;
}

/// A private XDG data folder with one desktop entry that claims the class "EntryClass".
class DataFolder {
 public:
  DataFolder() {
    char folder[] = "/tmp/kestles-x11-data-XXXXXX";
    path_ = mkdtemp(folder);
    std::filesystem::create_directories(path_ / "applications");
    std::ofstream(path_ / "applications/org.example.Entry.desktop")
        << "[Desktop Entry]\nType=Application\nName=Entry App\nStartupWMClass=EntryClass\n";
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

 private:
  std::filesystem::path path_;
  std::optional<std::string> saved_;
};

TEST(X11PlatformTests, SnapshotListsExactlyTheStandardWindows) {
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
  auto platform = X11Platform::open(session->display());
  ASSERT_TRUE(platform);
  auto list = platform->windows();

  std::set<std::uint32_t> ids;
  for (const auto& w : list.windows)
    ids.insert(w.id);
  EXPECT_EQ(ids, (std::set<std::uint32_t>{plain.id(), typed.id(), legacy.ids[0], legacy.ids[1],
                                          fixed.id()}));
  for (const auto& w : list.windows)
    EXPECT_EQ(session->frameOf(w.id), frameOf(w.frame)) << w.title;

  const auto* p = find(list, plain.id());
  ASSERT_TRUE(p);
  EXPECT_EQ(p->title, "Plain “window”");
  EXPECT_EQ(p->bundleID, "KestlesTest");  // no desktop entry: the class
  EXPECT_EQ(p->pid, plain.process->pid());
  EXPECT_TRUE(p->isResizable);
  EXPECT_EQ(p->minimumSize, MinimumSize{});
  const auto* t = find(list, typed.id());
  ASSERT_TRUE(t);
  EXPECT_EQ(t->bundleID, "org.example.Entry");
  EXPECT_EQ(t->appName, "Entry App");
  // Limits are outer sizes: the client's hints plus openbox's frame (1, 1, 20, 5).
  EXPECT_EQ(t->minimumSize, (MinimumSize{202, 125}));
  EXPECT_EQ(t->maximumSize, (MaximumSize{802, 625}));
  const auto* f = find(list, fixed.id());
  ASSERT_TRUE(f);
  EXPECT_FALSE(f->isResizable);

  // Installed: the entry of the private data folder; running without an entry: the class.
  auto installed = platform->installedApps();
  for (const AppRef& app :
       {AppRef{"org.example.Entry", "Entry App"}, AppRef{"KestlesTest", "KestlesTest"}})
    EXPECT_NE(std::find(installed.begin(), installed.end(), app), installed.end()) << app.bundleID;

  // Titles only WM_NAME holds, for the app's first window and the ones after it.
  EXPECT_EQ(find(list, legacy.ids[0])->title, "Legacy 1");
  EXPECT_EQ(find(list, legacy.ids[1])->title, "Legacy 2");
  EXPECT_EQ(find(list, legacy.ids[1])->bundleID, "KestlesTest");

  // Four processes, four apps, in the order their first window was mapped.
  ASSERT_EQ(list.apps.size(), 4u);
  EXPECT_EQ(list.apps[0].pid, plain.process->pid());
  EXPECT_EQ(list.apps[1],
            (AppSnapshot{typed.process->pid(), "org.example.Entry", "Entry App", false}));
  // The last window mapped is in front; the dock counts as on screen but is not listed.
  EXPECT_LT(f->zIndex, t->zIndex);
  EXPECT_LT(t->zIndex, p->zIndex);
  EXPECT_EQ(list.onScreenCount, 9);  // the five, the dialog, the transient, the utility, the dock
}

TEST(X11PlatformTests, SnapshotOrdersByStackingAndFollowsFocus) {
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto windows = session->openWindows({"--count", "3", "--pos", "10,10"});
  // openbox focuses a new window a moment after managing it; let that settle first.
  ASSERT_TRUE(session->waitUntil([&] {
    return session->cardinals(session->root(), "_NET_ACTIVE_WINDOW") ==
           std::vector<std::uint32_t>{windows.ids[2]};
  }));
  auto platform = X11Platform::open(session->display());
  ASSERT_TRUE(platform->focus(windows.ids[0]));
  auto list = platform->windows();
  ASSERT_EQ(list.windows.size(), 3u);
  EXPECT_EQ(list.focusedWindow, windows.ids[0]);
  std::vector<std::int64_t> zIndexes;
  for (const auto& w : list.windows)
    zIndexes.push_back(w.zIndex);
  EXPECT_EQ(zIndexes, (std::vector<std::int64_t>{0, 2, 1}));  // read order is mapping order
  ASSERT_TRUE(platform->raise(windows.ids[1]));
  ASSERT_TRUE(
      session->waitUntil([&] { return find(platform->windows(), windows.ids[1])->zIndex == 0; }));
  EXPECT_EQ(platform->windows().focusedWindow, windows.ids[0]);  // raising leaves the focus

  // A window that declines input is raised but not focused.
  auto noInput = session->openWindows({"--no-input", "--pos", "10,10"});
  ASSERT_TRUE(platform->focus(windows.ids[2]));
  EXPECT_FALSE(platform->focus(noInput.id()));
  auto list2 = platform->windows();
  EXPECT_EQ(find(list2, noInput.id())->zIndex, 0);
  EXPECT_EQ(list2.focusedWindow, windows.ids[2]);
}

TEST(X11PlatformTests, MinimizedAndOtherDesktopWindowsAreToldApart) {
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto shown = session->openWindows({"--pos", "10,10"});
  auto minimized = session->openWindows({"--pos", "300,10"});
  auto elsewhere = session->openWindows({"--desktop", "1"});
  ASSERT_EQ(elsewhere.ids.size(), 1u);
  auto platform = X11Platform::open(session->display());
  ASSERT_TRUE(platform->setMinimized(minimized.id(), true));
  EXPECT_TRUE(session->hasState(minimized.id(), "_NET_WM_STATE_HIDDEN"));

  auto list = platform->windows();
  ASSERT_EQ(list.windows.size(), 2u);
  EXPECT_FALSE(find(list, elsewhere.id()));
  const auto* m = find(list, minimized.id());
  ASSERT_TRUE(m);
  EXPECT_TRUE(m->isMinimized);
  EXPECT_GE(m->zIndex, list.onScreenCount);  // behind everything on screen
  EXPECT_FALSE(find(list, shown.id())->isMinimized);

  ASSERT_TRUE(platform->setMinimized(minimized.id(), false));
  list = platform->windows();
  EXPECT_FALSE(find(list, minimized.id())->isMinimized);
  EXPECT_EQ(find(list, minimized.id())->zIndex, 0);
}

TEST(X11PlatformTests, FullScreenOnAndOff) {
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto windows = session->openWindows({"--pos", "10,10"});
  auto platform = X11Platform::open(session->display());
  auto before = find(platform->windows(), windows.id())->frame;
  ASSERT_TRUE(platform->setFullScreen(windows.id(), true));
  auto world = platform::snapshotWorld(*platform);
  ASSERT_EQ(world.windows.size(), 1u);
  EXPECT_TRUE(world.windows[0].isFullScreen);
  EXPECT_TRUE(session->waitUntil([&] {
    return session->frameOf(windows.id()) == Frame{0, 0, 1920, 1080};
  }));
  world = platform::snapshotWorld(*platform);
  EXPECT_EQ(world.fullScreen, (std::map<std::string, std::uint32_t>{{"screen", windows.id()}}));
  ASSERT_TRUE(platform->setFullScreen(windows.id(), false));
  EXPECT_TRUE(
      session->waitUntil([&] { return session->frameOf(windows.id()) == frameOf(before); }));
}

TEST(X11PlatformTests, VanishedWindowsAreSkipped) {
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto kept = session->openWindows({"--pos", "10,10"});
  auto gone = session->openWindows({"--pos", "10,10"});
  auto goneID = gone.id();
  gone.process->stop();
  ASSERT_TRUE(session->waitUntil([&] { return !session->frameOf(goneID); }));
  auto connection = X11Connection::open(session->display());
  // As if the window went between reading the client list and reading the windows.
  std::vector<xcb_window_t> ids{goneID, kept.id(), 0x7fffffff};
  auto clients = readClients(*connection, ids);
  ASSERT_EQ(clients.size(), 1u);
  EXPECT_EQ(clients[0].id, kept.id());
  auto platform = X11Platform::open(session->display());
  EXPECT_FALSE(platform->setMinimized(goneID, true));
  EXPECT_FALSE(platform->focus(goneID));
  EXPECT_FALSE(platform->raise(goneID));
}

TEST(X11PlatformTests, SnapshotRoundTripsDoNotGrowWithTheWindows) {
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto platform = X11Platform::open(session->display());
  auto roundTripsOfSnapshot = [&] {
    auto before = platform->roundTrips();
    platform->windows();
    return platform->roundTrips() - before;
  };
  auto one = session->openWindows({});
  auto withOne = roundTripsOfSnapshot();
  auto many = session->openWindows({"--count", "30"});
  ASSERT_EQ(platform->windows().windows.size(), 31u);
  EXPECT_EQ(roundTripsOfSnapshot(), withOne);
  EXPECT_LE(withOne, 4u);
}

TEST(X11PlatformTests, WithoutAWindowManagerTheMappedTopLevelsAreTheWindows) {
  auto session = XSession::start({.windowManager = false});
  if (!session) GTEST_SKIP() << "Xvfb is missing";
  auto a = session->openWindows({"--pos", "10,20", "--border", "3"});
  auto b = session->openWindows({"--pos", "500,20"});
  auto popup = session->openWindows({"--override-redirect"});
  auto platform = X11Platform::open(session->display());
  auto list = platform->windows();
  ASSERT_EQ(list.windows.size(), 2u);
  EXPECT_EQ(frameOf(find(list, a.id())->frame), (Frame{10, 20, 306, 206}));
  EXPECT_EQ(find(list, b.id())->zIndex, 0);
  EXPECT_FALSE(find(list, popup.id()));
  EXPECT_FALSE(platform->setFullScreen(a.id(), true));
  EXPECT_EQ(list.focusedWindow, std::nullopt);
  ASSERT_TRUE(platform->focus(a.id()));
  list = platform->windows();
  EXPECT_EQ(list.focusedWindow, a.id());
  EXPECT_EQ(find(list, a.id())->zIndex, 0);
}

}  // namespace
}  // namespace kestles::x11
