#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <vector>

#include "KestlesEngine/engine/EngineParts.hpp"
#include "KestlesEngine/sim/FakeTime.hpp"
#include "KestlesEngine/sim/MemoryLog.hpp"
#include "KestlesEngine/sim/SimDesktop.hpp"

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
        parts(engine::EngineParts::Desktop::of(sim.parts()), log,
              {clock, clock, queue, parallel, clock}) {
    sim.setRecording(false);
    engine.start();
  }
  World world;
  sim::FakeClock clock;
  sim::InlineExecutor queue;
  sim::SequentialFor parallel;
  sim::MemoryLog log;
  sim::SimDesktop sim;
  engine::EngineParts parts;
  engine::WindowEngine& engine = parts.engine;
};

/// One recorded platform call, ready to be made again with its element already looked up.
struct Replayed {
  sim::SimCall call;
  platform::AXElement element;
  std::vector<std::string> names;  // the attributes of a batch read
};

/// The calls the sim recorded, ready to be made again. The window server's list and the
/// window numbers are not recorded; `replay` adds them where the engine makes them.
std::vector<Replayed> replayable(sim::SimDesktop& sim) {
  std::vector<Replayed> replayed;
  for (auto& call : sim.calls()) {
    Replayed item{call, {}, {}};
    item.element = call.window ? sim.elementOf(call.window)
                   : call.pid  ? sim.ax().application(call.pid)
                               : sim.ax().systemWide();
    if (call.kind == sim::SimCall::Kind::copyValues)
      for (std::size_t start = 0; start <= call.name.size();) {
        auto comma = std::min(call.name.find(',', start), call.name.size());
        item.names.push_back(call.name.substr(start, comma - start));
        start = comma + 1;
      }
    replayed.push_back(std::move(item));
  }
  return replayed;
}

/// Makes the calls again: the layer's own share of what the engine did. A snapshot also
/// lists the windows on screen and asks each window it reads for its number.
void replay(sim::SimDesktop& sim, const std::vector<Replayed>& calls, bool snapshot) {
  using Kind = sim::SimCall::Kind;
  if (snapshot) benchmark::DoNotOptimize(sim.windowServer().onScreenWindows());
  for (const auto& item : calls) {
    switch (item.call.kind) {
      case Kind::copyValue:
        benchmark::DoNotOptimize(sim.ax().copyValue(item.element, item.call.name));
        break;
      case Kind::copyValues: {
        std::vector<std::string_view> names(item.names.begin(), item.names.end());
        benchmark::DoNotOptimize(sim.ax().copyValues(item.element, names));
        if (snapshot && item.call.window)
          benchmark::DoNotOptimize(sim.ax().windowNumber(item.element));
        break;
      }
      case Kind::isSettable:
        benchmark::DoNotOptimize(sim.ax().attributeIsSettable(item.element, item.call.name));
        break;
      case Kind::setValue:
        benchmark::DoNotOptimize(sim.ax().setValue(item.element, item.call.name, *item.call.value));
        break;
      case Kind::performAction:
        benchmark::DoNotOptimize(sim.ax().performAction(item.element, item.call.name));
        break;
      case Kind::setTimeout:
        sim.ax().setMessagingTimeout(item.element, float(std::get<double>(*item.call.value)));
        break;
      default:
        break;
    }
  }
}

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
  auto& ax = bench.sim.ax();
  constexpr std::array<std::string_view, 6> names{"AXSubrole", "AXTitle",     "AXPosition",
                                                  "AXSize",    "AXMinimized", "AXFullScreen"};
  for (auto _ : state) {
    benchmark::DoNotOptimize(bench.sim.windowServer().onScreenWindows());
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

// The same share measured by making again exactly the calls one snapshot made.
void BM_LayerReplayOfSnapshot30Apps100Windows(benchmark::State& state) {
  Bench bench(crowdedWorld(30, 100));
  bench.sim.setRecording(true);
  bench.sim.clearCalls();
  bench.engine.snapshot(bench.world.apps, bench.world.setup);
  auto calls = replayable(bench.sim);
  bench.sim.setRecording(false);
  for (auto _ : state)
    replay(bench.sim, calls, true);
  state.counters["calls"] = double(calls.size());
}
BENCHMARK(BM_LayerReplayOfSnapshot30Apps100Windows);

/// Two 9-window grids to apply in turn, so that every apply moves every window.
std::array<engine::WindowEngine::ApplyRequest, 2> nineWindowGrids(const World& world) {
  std::array<engine::WindowEngine::ApplyRequest, 2> requests;
  for (int w = 0; w < 9; ++w) {
    CGRect tile(853.0 * (w % 3), 25 + 471.0 * (w / 3), 853, 471);
    requests[0].moves.push_back(
        {std::uint32_t(100 + w), tile, world.setup.displays[0].visibleFrame, w});
    requests[1].moves.push_back(
        {std::uint32_t(100 + w), tile.insetBy(20, 20), world.setup.displays[0].visibleFrame, w});
  }
  requests[0].description = requests[1].description = "Grid";
  return requests;
}

void BM_EngineApplyNineWindowsWithoutGlide(benchmark::State& state) {
  Bench bench(crowdedWorld(3, 9));
  auto before = bench.engine.snapshot(bench.world.apps, bench.world.setup);
  auto requests = nineWindowGrids(bench.world);
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

// The layer's share of applying the grids: the calls each apply made, made again in turn.
void BM_LayerReplayOfApplyNineWindows(benchmark::State& state) {
  Bench bench(crowdedWorld(3, 9));
  auto before = bench.engine.snapshot(bench.world.apps, bench.world.setup);
  auto requests = nineWindowGrids(bench.world);
  std::array<std::vector<Replayed>, 2> calls;
  bench.sim.setRecording(true);
  for (std::size_t turn = 0; turn < 2; ++turn) {
    bench.sim.clearCalls();
    bench.engine.apply(requests[turn], before, platform::Duration{0});
    calls[turn] = replayable(bench.sim);
    bench.clock.advance(platform::seconds(0.5));
  }
  bench.sim.setRecording(false);
  std::size_t turn = 0;
  for (auto _ : state)
    replay(bench.sim, calls[turn++ % 2], false);
  state.counters["calls"] = double(calls[0].size());
}
BENCHMARK(BM_LayerReplayOfApplyNineWindows);

}  // namespace
}  // namespace kestles
