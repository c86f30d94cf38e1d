#include "KestlesCore/world/WorldFile.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

namespace kestles {
namespace {

const std::filesystem::path kWorld =
    std::filesystem::path(KESTLES_FIXTURES) / "worlds/two-displays.json";

TEST(WorldFileTests, ReadsTheWorldFile) {
  auto file = WorldFile::read(kWorld);
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
  EXPECT_EQ(WorldFile::decoded(file.encoded()), file);
}

TEST(WorldFileTests, TheCurrentDisplayIsTheFocusedWindowsAsInTheRunningApp) {
  // A dry run on a world file used to plan on the main display while the app, reading the
  // same file, worked on the focused window's display.
  auto json = nlohmann::json::parse(R"({
    "displays": [
      {"id": "MAIN", "name": "Main", "frame": [[0, 0], [2560, 1440]], "isMain": true},
      {"id": "SIDE", "name": "Side", "frame": [[2560, 0], [1512, 982]]}],
    "windows": [
      {"id": 1, "pid": 10, "frame": [[100, 100], [800, 600]]},
      {"id": 2, "pid": 10, "frame": [[2600, 50], [1000, 700]]}]})");
  struct Row {
    std::optional<std::uint32_t> focused;
    std::optional<std::string> written;  // what the file itself says
    std::string active;
  };
  const Row rows[] = {{2u, std::nullopt, "SIDE"},
                      {2u, "MAIN", "SIDE"},
                      {1u, "SIDE", "MAIN"},
                      {std::nullopt, std::nullopt, "MAIN"},
                      {99u, std::nullopt, "MAIN"}};  // a window the file doesn't have
  for (const auto& row : rows) {
    auto file = json;
    if (row.focused) file["focusedWindow"] = *row.focused;
    if (row.written) file["activeDisplayID"] = *row.written;
    EXPECT_EQ(WorldFile::decoded(file).world.activeDisplayID, row.active)
        << row.focused.value_or(0);
  }
  EXPECT_EQ(WorldFile::read(kWorld).world.activeDisplayID, "LAPTOP");
}

TEST(WorldFileTests, OnlyARegularFileIsRead) {
  // A FIFO used to hang the reader in its open, and a link to /dev/zero to read for ever.
  auto folder =
      std::filesystem::temp_directory_path() / ("kestles-world-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", folder / "zero");
  const std::filesystem::path paths[] = {"/nonexistent/world.json",
                                         std::filesystem::path(KESTLES_FIXTURES) / "worlds",
                                         folder / "fifo", folder / "zero"};
  for (const auto& path : paths) {
    try {
      WorldFile::read(path);
      ADD_FAILURE() << path << " is not a world file";
    } catch (const std::runtime_error& error) {
      EXPECT_EQ(error.what(), "The world file “" + path.string() + "” can’t be opened.");
    }
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace kestles
