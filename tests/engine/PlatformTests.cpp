#include "KestlesEngine/platform/Platform.hpp"

#include <gtest/gtest.h>

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
