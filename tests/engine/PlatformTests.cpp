#include "KestlesEngine/platform/Platform.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/ScopedEnvironment.hpp"

namespace kestles::platform {
namespace {

using testing::ScopedEnvironment;

const std::string kWorld = std::string(KESTLES_FIXTURES) + "/worlds/two-displays.json";

TEST(PlatformTests, ChoiceFollowsTheEnvironment) {
  struct Case {
    const char* platform;
    const char* display;
    const char* world;
    std::optional<PlatformKind> kind;  // nothing: an error sentence
  };
  const Case cases[] = {
      {nullptr, nullptr, nullptr, PlatformKind::none},
      {"sim", nullptr, kWorld.c_str(), PlatformKind::sim},
      {"sim", ":0", kWorld.c_str(), PlatformKind::sim},
      {"sim", nullptr, nullptr, std::nullopt},
      {"sim", nullptr, "/nonexistent.json", std::nullopt},
      {"x11", nullptr, nullptr, std::nullopt},
      {"x11", ":65000", nullptr, std::nullopt},  // nothing listens there
      {nullptr, ":65000", nullptr, std::nullopt},
      {"wayland", nullptr, nullptr, std::nullopt},
  };
  for (const auto& c : cases) {
    ScopedEnvironment environment{
        {"KESTLES_PLATFORM", c.platform}, {"DISPLAY", c.display}, {"KESTLES_SIM_WORLD", c.world}};
    auto choice = choosePlatform();
    std::string label =
        std::string(c.platform ? c.platform : "-") + " " + (c.display ? c.display : "-");
    if (c.kind) {
      ASSERT_TRUE(choice.platform) << label << ": " << choice.error;
      EXPECT_EQ(choice.platform->kind, *c.kind) << label;
    } else {
      EXPECT_FALSE(choice.platform) << label;
      ASSERT_FALSE(choice.error.empty()) << label;
      EXPECT_EQ(choice.error.back(), '.') << label;
    }
  }
}

TEST(PlatformTests, EmptyPlatformListsNothingAndChangesNothing) {
  auto platform = emptyPlatform();
  EXPECT_TRUE(platform.displays->displays().empty());
  EXPECT_TRUE(platform.installedApps->installedApps().empty());
  WindowMove move{1, {0, 0, 10, 10}};
  EXPECT_EQ(platform.windows->place(std::span(&move, 1)), std::vector<std::optional<CGRect>>(1));
  EXPECT_EQ(snapshotWorld(platform), World{});
}

}  // namespace
}  // namespace kestles::platform

namespace kestles::platform {
namespace {

TEST(PlatformTests, WorldOfFindsTheActiveDisplayAndFullScreenWindows) {
  DisplaySetup setup{{{"L", "Left", {0, 0, 1000, 800}, {0, 0, 1000, 800}, false, false},
                      {"R", "Right", {1000, 0, 1000, 800}, {1000, 0, 1000, 800}, false, true}}};
  auto window = [](std::uint32_t id, CGRect frame, std::int64_t z, bool fullScreen) {
    WindowSnapshot w;
    w.id = id;
    w.frame = frame;
    w.zIndex = z;
    w.isFullScreen = fullScreen;
    return w;
  };
  WindowList list{{window(1, {10, 10, 500, 500}, 0, false), window(2, {0, 0, 1000, 800}, 1, true),
                   window(3, {1000, 0, 1000, 800}, 2, true)},
                  {},
                  std::nullopt,
                  2};  // window 3 is not on screen
  struct Case {
    std::optional<std::uint32_t> focused;
    std::optional<std::string> active;
  };
  const Case cases[] = {
      {1, "L"},
      {std::nullopt, "R"},  // the main display
      {99, "R"},            // a focused window outside the list
  };
  for (const auto& c : cases) {
    list.focusedWindow = c.focused;
    auto world = worldOf(setup, list);
    EXPECT_EQ(world.activeDisplayID, c.active);
    EXPECT_EQ(world.fullScreen, (std::map<std::string, std::uint32_t>{{"L", 2}}));
    EXPECT_EQ(world.windows.size(), 3u);
  }
  EXPECT_EQ(worldOf({}, list).activeDisplayID, std::nullopt);
}

}  // namespace
}  // namespace kestles::platform
