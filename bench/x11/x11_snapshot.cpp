// The X11 layer against wmctrl on a live X server with a window manager and test windows
// (bench/x11-bench.sh sets one up): a snapshot versus `wmctrl -lG`, and placing 10 windows
// until every one has landed versus 10 `wmctrl -e` calls.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "KestlesEngine/engine/EngineParts.hpp"
#include "KestlesEngine/platform/ThreadTime.hpp"
#include "KestlesEngine/x11/X11Layer.hpp"

extern char** environ;

namespace {

using kestles::engine::WindowEngine;

class NoLog final : public kestles::platform::LogSink {
 public:
  void write(const kestles::platform::LogRecord&) override {}
};

/// The engine over the X11 layer, as the app runs it.
struct Desk {
  std::unique_ptr<kestles::x11::X11Layer> layer = kestles::x11::X11Layer::open();
  NoLog log;
  kestles::platform::SteadyClock clock;
  kestles::platform::ThreadTimers timers{clock};
  kestles::platform::SerialQueue queue;
  kestles::platform::ThreadParallelFor parallel;
  std::unique_ptr<kestles::engine::EngineParts> parts;

  Desk() {
    if (!layer) return;
    parts = std::make_unique<kestles::engine::EngineParts>(
        kestles::engine::EngineParts::Desktop::of(layer->parts()), log,
        kestles::engine::EngineParts::Time{clock, timers, queue, parallel, timers});
    parts->engine.start();
  }
  kestles::World snapshot() {
    return parts->engine.snapshot(parts->runningApps.list(), parts->displays.setup());
  }
  std::uint64_t roundTrips() { return layer->roundTrips(); }
};

std::unique_ptr<Desk>& platform() {
  static auto desk = std::make_unique<Desk>();
  return desk;
}

/// Runs a program with its output thrown away and waits for it.
void runQuietly(std::vector<std::string> argv) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  std::vector<char*> args;
  for (auto& arg : argv)
    args.push_back(arg.data());
  args.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
  }
  posix_spawn_file_actions_destroy(&actions);
}

bool ready(benchmark::State& state, std::size_t windows) {
  if (!platform()->layer) {
    state.SkipWithError("no X display");
    return false;
  }
  if (platform()->snapshot().windows.size() < windows) {
    state.SkipWithError("too few windows on the display");
    return false;
  }
  return true;
}

/// Two sets of frames for the first ten windows, so that every round really moves them.
std::vector<WindowEngine::WindowMove> moves(int round) {
  auto world = platform()->snapshot();
  std::vector<WindowEngine::WindowMove> result;
  for (std::size_t i = 0; i < 10; ++i) {
    double shift = round % 2 == 0 ? 0 : 40;
    kestles::CGRect to{double(i % 5) * 380 + shift, double(i / 5) * 500 + shift, 360, 460 - shift};
    result.push_back({world.windows[i].id, world.windows[i].frame, to, std::nullopt});
  }
  return result;
}

void X11Snapshot(benchmark::State& state) {
  if (!ready(state, 100)) return;
  auto before = platform()->roundTrips();
  std::size_t count = 0;
  for (auto _ : state)
    count = platform()->snapshot().windows.size();
  state.counters["windows"] = double(count);
  state.counters["round_trips"] =
      double(platform()->roundTrips() - before) / double(state.iterations());
}
BENCHMARK(X11Snapshot)->Unit(benchmark::kMillisecond)->UseRealTime();

void WmctrlList(benchmark::State& state) {
  if (!ready(state, 100)) return;
  for (auto _ : state)
    runQuietly({"wmctrl", "-lG"});
}
BENCHMARK(WmctrlList)->Unit(benchmark::kMillisecond)->UseRealTime();

void X11PlaceTen(benchmark::State& state) {
  if (!ready(state, 10)) return;
  auto sets = std::vector{moves(0), moves(1)};
  int round = 0;
  std::size_t landed = 0;
  auto before = platform()->roundTrips();
  for (auto _ : state) {
    const auto& set = sets[std::size_t(round++ % 2)];
    auto outcome = platform()->parts->engine.arrange(set, {});
    landed = 0;
    for (const auto& move : set)
      landed += outcome.frames[move.window] == move.to ? 1 : 0;
  }
  state.counters["landed"] = double(landed);
  state.counters["round_trips"] =
      double(platform()->roundTrips() - before) / double(state.iterations());
}
BENCHMARK(X11PlaceTen)->Unit(benchmark::kMillisecond)->UseRealTime();

void WmctrlPlaceTen(benchmark::State& state) {
  if (!ready(state, 10)) return;
  auto sets = std::vector{moves(0), moves(1)};
  int round = 0;
  for (auto _ : state) {
    for (const auto& move : sets[std::size_t(round % 2)]) {
      char geometry[96];
      std::snprintf(geometry, sizeof geometry, "0,%d,%d,%d,%d", int(move.to.origin.x),
                    int(move.to.origin.y), int(move.to.size.width), int(move.to.size.height));
      char id[16];
      std::snprintf(id, sizeof id, "0x%08x", move.window);
      runQuietly({"wmctrl", "-i", "-r", id, "-e", geometry});
    }
    ++round;
  }
}
BENCHMARK(WmctrlPlaceTen)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
