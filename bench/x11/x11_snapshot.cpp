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

#include "KestlesEngine/x11/X11Platform.hpp"

extern char** environ;

namespace {

using kestles::x11::X11Platform;

std::unique_ptr<X11Platform>& platform() {
  static auto session = X11Platform::open();
  return session;
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
  if (!platform()) {
    state.SkipWithError("no X display");
    return false;
  }
  if (platform()->windows().windows.size() < windows) {
    state.SkipWithError("too few windows on the display");
    return false;
  }
  return true;
}

/// Two sets of frames for the first ten windows, so that every round really moves them.
std::vector<kestles::platform::WindowMove> moves(int round) {
  auto list = platform()->windows();
  std::vector<kestles::platform::WindowMove> result;
  for (std::size_t i = 0; i < 10; ++i) {
    double shift = round % 2 == 0 ? 0 : 40;
    result.push_back(
        {list.windows[i].id,
         {double(i % 5) * 380 + shift, double(i / 5) * 500 + shift, 360, 460 - shift}});
  }
  return result;
}

void X11Snapshot(benchmark::State& state) {
  if (!ready(state, 100)) return;
  auto before = platform()->roundTrips();
  std::size_t count = 0;
  for (auto _ : state)
    count = platform()->windows().windows.size();
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
    auto frames = platform()->place(sets[std::size_t(round++ % 2)]);
    landed = 0;
    for (std::size_t i = 0; i < frames.size(); ++i)
      landed += frames[i] == sets[std::size_t((round - 1) % 2)][i].frame ? 1 : 0;
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
      std::snprintf(geometry, sizeof geometry, "0,%d,%d,%d,%d", int(move.frame.origin.x),
                    int(move.frame.origin.y), int(move.frame.size.width),
                    int(move.frame.size.height));
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
