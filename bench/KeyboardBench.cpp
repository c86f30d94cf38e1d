#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "KestlesCore/keyboard/WindowHints.hpp"

namespace kestles {
namespace {

/// Fifty overlapping windows of twelve apps on a laptop and a wide display, cascaded so that
/// most are partly covered and a few wholly.
World busyWorld() {
  World world;
  world.setup.displays = {
      {"L", "Laptop", {0, 0, 1512, 982}, {0, 25, 1512, 957}, true, true},
      {"E", "External", {1512, 0, 2560, 1440}, {1512, 25, 2560, 1415}, false, false}};
  world.activeDisplayID = "L";
  const std::vector<std::string> apps{"Safari",   "Mail",    "Notes",  "Xcode",
                                      "Terminal", "Slack",   "Music",  "Calendar",
                                      "Maps",     "Preview", "Finder", "Messages"};
  for (std::uint32_t i = 0; i < 50; ++i) {
    WindowSnapshot window;
    window.id = i + 1;
    window.pid = static_cast<std::int32_t>(i % 12 + 1);
    window.appName = apps[i % 12];
    window.bundleID = "app." + std::to_string(window.pid);
    double x = (i % 2 ? 1512 : 0) + (i / 2 % 8) * 90.0;
    double y = 25 + (i / 2 % 5) * 70.0;
    window.frame = {x, y, 700 + (i % 3) * 150.0, 500 + (i % 4) * 80.0};
    window.zIndex = i;
    world.windows.push_back(window);
  }
  return world;
}

void BM_WindowHintsFiftyWindows(benchmark::State& state) {
  auto world = busyWorld();
  if (WindowHints::hints(world).empty()) state.SkipWithError("no hints");
  for (auto _ : state)
    benchmark::DoNotOptimize(WindowHints::hints(world));
}
BENCHMARK(BM_WindowHintsFiftyWindows)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace kestles
