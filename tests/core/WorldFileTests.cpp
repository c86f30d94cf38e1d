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
