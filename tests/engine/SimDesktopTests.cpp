#include "KestlesEngine/sim/SimDesktop.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

#include <nlohmann/json.hpp>

#include "KestlesEngine/platform/Platform.hpp"
#include "tests/support/ToolProcess.hpp"

namespace kestles::sim {
namespace {

const std::filesystem::path kWorld =
    std::filesystem::path(KESTLES_FIXTURES) / "worlds/two-displays.json";

TEST(SimDesktopTests, ReadsTheWorldFile) {
  auto file = readWorldFile(kWorld);
  EXPECT_EQ(file.world.setup.displays.size(), 2u);
  EXPECT_EQ(file.world.apps.size(), 2u);
  ASSERT_EQ(file.world.windows.size(), 3u);
  // A window without a number takes the first synthetic id; zIndex follows the list.
  EXPECT_EQ(file.world.windows[1].id, kFirstSyntheticID);
  EXPECT_EQ(file.world.windows[1].zIndex, 1);
  EXPECT_EQ(file.world.windows[0].minimumSize, (MinimumSize{400, 300}));
  EXPECT_EQ(file.installedApps.size(), 2u);  // the damaged entry is left out
  EXPECT_EQ(file.focusedWindow, kFirstSyntheticID);
  // Written back, the file reads the same.
  EXPECT_EQ(decodeWorldFile(encodeWorldFile(file)), file);
}

TEST(SimDesktopTests, UnreadableFilesGiveSentences) {
  EXPECT_THROW(readWorldFile("/nonexistent/world.json"), std::runtime_error);
  try {
    readWorldFile(std::filesystem::path(KESTLES_FIXTURES) / "worlds");
    FAIL() << "a folder is not a world file";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(std::string(error.what()).back(), '.');
  }
}

TEST(SimDesktopTests, WorldFilesThatAreNoRegularFilesAreRefusedAndDamagedWindowsDropped) {
  // Regression: a world file that was a FIFO hung the reader, and a window whose frame was a
  // string made the whole world "not a world in JSON".
  testing::TemporaryFolder folder;
  auto fifo = folder.path() / "fifo.json";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const auto& path : {fifo, std::filesystem::path("/dev/zero")}) {
    try {
      readWorldFile(path);
      ADD_FAILURE() << path << " was read";
    } catch (const std::runtime_error& error) {
      EXPECT_EQ(std::string(error.what()),
                "The world file “" + path.string() + "” can’t be opened.");
    }
  }
  auto damaged = folder.path() / "damaged.json";
  std::ofstream(damaged) << R"({"windows": [{"id": 1, "frame": "[[0, 0], [10, 10]]"},
                                            {"id": 2, "frame": [[0, 0], [10, 10]]}]})";
  auto file = readWorldFile(damaged);
  ASSERT_EQ(file.world.windows.size(), 1u);
  EXPECT_EQ(file.world.windows[0].id, 2u);
}

TEST(SimDesktopTests, PlacementObeysLimits) {
  SimDesktop desktop(readWorldFile(kWorld));
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
  SimDesktop desktop(readWorldFile(kWorld));
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
  SimDesktop desktop(readWorldFile(kWorld));
  std::vector<AppRef> expected = {{"org.example.Browser", "Browser"},
                                  {"org.example.Editor", "Editor"},
                                  {"org.example.Terminal", "terminal"}};
  EXPECT_EQ(desktop.installedApps(), expected);
}

TEST(SimDesktopTests, SnapshotFindsTheActiveDisplay) {
  auto desktop = std::make_shared<SimDesktop>(readWorldFile(kWorld));
  platform::Platform platform{platform::PlatformKind::sim, desktop, desktop, desktop, desktop};
  auto world = platform::snapshotWorld(platform);
  EXPECT_EQ(world.activeDisplayID, "LAPTOP");  // the focused window is on the laptop
  ASSERT_TRUE(desktop->focus(11));
  EXPECT_EQ(platform::snapshotWorld(platform).activeDisplayID, "MAIN");
  EXPECT_EQ(world.windows.size(), 3u);
  EXPECT_TRUE(world.floating.empty());
}

}  // namespace
}  // namespace kestles::sim
