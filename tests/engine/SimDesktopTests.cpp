#include "KestlesEngine/sim/SimDesktop.hpp"

#include <gtest/gtest.h>

#include "KestlesEngine/engine/InstalledApps.hpp"

#include "KestlesEngine/engine/EngineParts.hpp"
#include "KestlesEngine/sim/MemoryLog.hpp"

namespace kestles::sim {
namespace {

const std::filesystem::path kWorld =
    std::filesystem::path(KESTLES_FIXTURES) / "worlds/two-displays.json";

TEST(SimDesktopTests, TheEngineSeesTheWorldFileAndMovesWithinItsLimits) {
  auto file = WorldFile::read(kWorld);
  SimDesktop desktop(file);
  auto parts = desktop.parts();
  FakeClock clock;
  InlineExecutor queue;
  SequentialFor parallel;
  MemoryLog log;
  engine::EngineParts engineParts(engine::EngineParts::Desktop::of(parts), log,
                                  {clock, clock, queue, parallel, clock});
  auto& engine = engineParts.engine;
  engine.start();
  auto& apps = engineParts.runningApps;
  auto& displays = engineParts.displays;

  auto world = engine.snapshot(apps.list(), displays.setup());
  EXPECT_EQ(world.setup, file.world.setup);
  EXPECT_EQ(world.apps, file.world.apps);
  EXPECT_EQ(world.activeDisplayID, "LAPTOP");  // where the focused window is
  // Read app by app: the file's order is not the snapshot's.
  auto framesOf = [](const World& some) {
    std::map<std::uint32_t, CGRect> frames;
    for (const auto& window : some.windows)
      frames[window.id] = window.frame;
    return frames;
  };
  EXPECT_EQ(framesOf(world), framesOf(file.world));
  EXPECT_EQ(engine.focusedWindow()->id, file.focusedWindow);

  // The window's own limits refuse what is too small or too large.
  struct Case {
    std::uint32_t window;
    CGRect asked;
    std::optional<CGRect> landed;
  };
  const Case cases[] = {
      {11, {0, 0, 200, 100}, CGRect{0, 0, 400, 300}},
      {11, {0, 0, 2000, 1400}, CGRect{0, 0, 1200, 1400}},
      {12, {10, 20, 900, 900}, CGRect{10, 20, 500, 400}},  // not resizable: moves only
  };
  for (const auto& c : cases) {
    auto current = desktop.window(c.window)->frame;
    auto outcome = engine.arrange({{c.window, current, c.asked, std::nullopt}}, {});
    EXPECT_EQ(outcome.frames[c.window], c.landed) << c.window;
  }
}

TEST(SimDesktopTests, InstalledAppsAddRunningOnesSortedByName) {
  SimDesktop desktop(WorldFile::read(kWorld));
  auto parts = desktop.parts();
  FakeClock clock;
  engine::InstalledApps installed(parts.catalog, parts.workspace, clock);
  std::vector<AppRef> expected = {{"org.example.Browser", "Browser"},
                                  {"org.example.Editor", "Editor"},
                                  {"org.example.Terminal", "terminal"}};
  EXPECT_EQ(installed.list(), expected);
}

}  // namespace
}  // namespace kestles::sim
