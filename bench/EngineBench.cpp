#include <benchmark/benchmark.h>

#include <array>
#include <string>

#include "KestlesEngine/engine/WindowEngine.hpp"
#include "KestlesEngine/sim/FakeTime.hpp"
#include "KestlesEngine/sim/MemoryLog.hpp"
#include "KestlesEngine/sim/SimAccessibility.hpp"

namespace kestles {
namespace {

/// `apps` apps sharing `windows` windows round robin, on one display.
World crowdedWorld(int apps, int windows) {
  World world;
  world.setup.displays = {
      DisplayInfo{"MAIN", "Studio", {0, 0, 2560, 1440}, {0, 25, 2560, 1415}, false, true}};
  for (int a = 0; a < apps; ++a)
    world.apps.push_back(
        {1000 + a, "com.example.app" + std::to_string(a), "App " + std::to_string(a), false});
  for (int w = 0; w < windows; ++w) {
    WindowSnapshot window;
    window.id = std::uint32_t(100 + w);
    window.pid = 1000 + w % apps;
    window.bundleID = world.apps[std::size_t(w % apps)].bundleID;
    window.appName = world.apps[std::size_t(w % apps)].name;
    window.frame = CGRect(10 * (w % 50), 25 + 8 * (w % 40), 800, 600);
    window.zIndex = w;
    world.windows.push_back(window);
  }
  return world;
}

/// The simulated desktop and an engine on it, recording nothing.
struct Bench {
  explicit Bench(const World& initial)
      : world(initial),
        sim(initial, clock),
        engine({sim, sim, sim, log, clock, clock, queue, parallel, {}}) {
    sim.setRecording(false);
    engine.start();
  }
  World world;
  sim::FakeClock clock;
  sim::InlineExecutor queue;
  sim::SequentialFor parallel;
  sim::MemoryLog log;
  sim::SimAccessibility sim;
  engine::WindowEngine engine;
};

void BM_EngineSnapshot30Apps100Windows(benchmark::State& state) {
  Bench bench(crowdedWorld(30, 100));
  for (auto _ : state) {
    auto world = bench.engine.snapshot(bench.world.apps, bench.world.setup);
    benchmark::DoNotOptimize(world);
    state.PauseTiming();
    bench.log.clear();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_EngineSnapshot30Apps100Windows);

// The layer's own share of a snapshot: the same platform calls without the engine, so that
// the engine's time is the difference between the two.
void BM_LayerCallsOf30Apps100Windows(benchmark::State& state) {
  Bench bench(crowdedWorld(30, 100));
  auto& ax = bench.sim;
  constexpr std::array<std::string_view, 6> names{"AXSubrole", "AXTitle",     "AXPosition",
                                                  "AXSize",    "AXMinimized", "AXFullScreen"};
  for (auto _ : state) {
    benchmark::DoNotOptimize(ax.onScreenWindows());
    for (const auto& app : bench.world.apps)
      for (auto window : ax.elements(ax.application(app.pid), "AXWindows")) {
        benchmark::DoNotOptimize(ax.values(window, names));
        benchmark::DoNotOptimize(ax.windowNumber(window));
        benchmark::DoNotOptimize(ax.isSettable(window, "AXSize"));
      }
    benchmark::DoNotOptimize(ax.element(ax.systemWide(), "AXFocusedApplication"));
  }
}
BENCHMARK(BM_LayerCallsOf30Apps100Windows);

void BM_EngineApplyNineWindowsWithoutGlide(benchmark::State& state) {
  Bench bench(crowdedWorld(3, 9));
  auto before = bench.engine.snapshot(bench.world.apps, bench.world.setup);
  std::array<engine::WindowEngine::ApplyRequest, 2> requests;
  for (int w = 0; w < 9; ++w) {
    CGRect tile(853.0 * (w % 3), 25 + 471.0 * (w / 3), 853, 471);
    requests[0].moves.push_back(
        {std::uint32_t(100 + w), tile, bench.world.setup.displays[0].visibleFrame, w});
    requests[1].moves.push_back({std::uint32_t(100 + w), tile.insetBy(20, 20),
                                 bench.world.setup.displays[0].visibleFrame, w});
  }
  requests[0].description = requests[1].description = "Grid";
  std::size_t turn = 0;
  for (auto _ : state) {
    auto outcome = bench.engine.apply(requests[turn++ % 2], before, platform::Duration{0});
    benchmark::DoNotOptimize(outcome);
    state.PauseTiming();
    bench.clock.advance(platform::seconds(0.5));  // lets the late-landing checks run
    bench.log.clear();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_EngineApplyNineWindowsWithoutGlide);

}  // namespace
}  // namespace kestles
