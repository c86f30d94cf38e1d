#include "KestlesEngine/sim/SimDesktop.hpp"

#include <gtest/gtest.h>

namespace kestles::sim {
namespace {

const std::filesystem::path kWorld =
    std::filesystem::path(KESTLES_FIXTURES) / "worlds/two-displays.json";

TEST(SimDesktopTests, PlacementObeysLimits) {
  SimDesktop desktop(WorldFile::read(kWorld));
  struct Case {
    std::uint32_t window;
    CGRect asked;
    std::optional<CGRect> landed;
  };
  const Case cases[] = {
      {11, {0, 0, 1000, 700}, CGRect{0, 0, 1000, 700}},
      {11, {0, 0, 200, 100}, CGRect{0, 0, 400, 300}},      // below the minimum
      {11, {0, 0, 2000, 1400}, CGRect{0, 0, 1200, 1400}},  // above the maximum width only
      {12, {10, 20, 900, 900}, CGRect{10, 20, 500, 400}},  // not resizable: moves only
      {99, {0, 0, 100, 100}, std::nullopt},
  };
  for (const auto& c : cases) {
    platform::WindowMove move{c.window, c.asked};
    EXPECT_EQ(desktop.place(std::span(&move, 1)).front(), c.landed) << c.window;
  }
  auto windows = desktop.windows().windows;
  EXPECT_EQ(windows[2].frame, CGRect(10, 20, 500, 400));
}

TEST(SimDesktopTests, FocusRestoresAndRaises) {
  SimDesktop desktop(WorldFile::read(kWorld));
  ASSERT_TRUE(desktop.setMinimized(12, true));
  EXPECT_TRUE(desktop.windows().windows[2].isMinimized);
  ASSERT_TRUE(desktop.focus(12));
  auto list = desktop.windows();
  EXPECT_EQ(list.focusedWindow, 12u);
  EXPECT_FALSE(list.windows[2].isMinimized);
  std::vector<std::int64_t> order;
  for (const auto& w : list.windows)
    order.push_back(w.zIndex);
  EXPECT_EQ(order, (std::vector<std::int64_t>{1, 2, 0}));
  EXPECT_FALSE(desktop.focus(99));
}

TEST(SimDesktopTests, InstalledAppsAddRunningOnesSortedByName) {
  SimDesktop desktop(WorldFile::read(kWorld));
  std::vector<AppRef> expected = {{"org.example.Browser", "Browser"},
                                  {"org.example.Editor", "Editor"},
                                  {"org.example.Terminal", "terminal"}};
  EXPECT_EQ(desktop.installedApps(), expected);
}

TEST(SimDesktopTests, SnapshotFindsTheActiveDisplay) {
  SimDesktop desktop(WorldFile::read(kWorld));
  auto world = platform::snapshotWorld(desktop);
  EXPECT_EQ(world.activeDisplayID, "LAPTOP");  // the focused window is on the laptop
  ASSERT_TRUE(desktop.focus(11));
  EXPECT_EQ(platform::snapshotWorld(desktop).activeDisplayID, "MAIN");
  EXPECT_EQ(world.windows.size(), 3u);
  EXPECT_TRUE(world.floating.empty());
}

}  // namespace
}  // namespace kestles::sim
