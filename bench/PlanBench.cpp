#include <benchmark/benchmark.h>

#include <string>

#include "KestlesCore/command/CommandLink.hpp"
#include "KestlesCore/session/CommandPlanner.hpp"

namespace kestles {
namespace {

/// One wide display with 30 windows of 10 apps, the front one focused.
World wideWithThirtyWindows() {
  World world;
  world.setup.displays = {{"WIDE", "Studio", {0, 0, 2560, 1440}, {0, 25, 2560, 1415}, true, true}};
  world.activeDisplayID = "WIDE";
  for (int app = 0; app < 10; ++app)
    world.apps.push_back(
        {100 + app, "org.example.App" + std::to_string(app), "App " + std::to_string(app), false});
  for (std::uint32_t id = 0; id < 30; ++id) {
    WindowSnapshot window;
    window.id = 1000 + id;
    window.pid = 100 + static_cast<int>(id % 10);
    window.bundleID = "org.example.App" + std::to_string(id % 10);
    window.frame = {40.0 + id * 20, 60.0 + id * 10, 900, 700};
    window.minimumSize = {400, 300};
    window.zIndex = id;
    world.windows.push_back(window);
  }
  return world;
}

/// A whole "tile" command as a dry run plans it: the world settled by the state, the name
/// lookups, the arrangement choice and the plan, with its JSON.
void BM_PlanTileCommand(benchmark::State& state) {
  auto world = wideWithThirtyWindows();
  Library library;
  SessionState session;
  auto command = *decodeCommandLink("kestles://tile?style=grid");
  for (auto _ : state) {
    auto seen = settledWorld(world, session, library.settings.gaps);
    auto outcome = planCommand(command, seen, library, session, 1000);
    benchmark::DoNotOptimize(outcomeJSON(outcome, true));
  }
}
BENCHMARK(BM_PlanTileCommand)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kestles
