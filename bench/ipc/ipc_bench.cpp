// The sway/i3 layer against swaymsg on a live compositor (bench/ipc-bench.sh sets headless sway
// up with foot windows): a snapshot of every window versus `swaymsg -t get_tree` as a process
// (and the bare round trip of the tree's bytes, the compositor's floor), and placing 10 windows
// until every one has landed versus 10 `swaymsg` calls.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <memory>
#include <string>
#include <vector>

#include "KestlesEngine/engine/EngineParts.hpp"
#include "KestlesEngine/ipc/IpcCommands.hpp"
#include "KestlesEngine/ipc/IpcConnection.hpp"
#include "KestlesEngine/ipc/IpcLayer.hpp"
#include "KestlesEngine/platform/ThreadTime.hpp"

extern char** environ;

namespace {

using kestles::engine::WindowEngine;

class NoLog final : public kestles::platform::LogSink {
 public:
  void write(const kestles::platform::LogRecord&) override {}
};

/// The engine over the IPC layer, as the app runs it.
struct Desk {
  std::unique_ptr<kestles::ipc::IpcLayer> layer;
  NoLog log;
  kestles::platform::SteadyClock clock;
  kestles::platform::ThreadTimers timers{clock};
  kestles::platform::SerialQueue queue;
  kestles::platform::ThreadParallelFor parallel;
  std::unique_ptr<kestles::engine::EngineParts> parts;

  Desk() {
    if (auto path = kestles::ipc::socketPath()) layer = kestles::ipc::IpcLayer::open(*path);
    if (!layer) return;
    parts = std::make_unique<kestles::engine::EngineParts>(
        kestles::engine::EngineParts::Desktop::of(layer->parts()), log,
        kestles::engine::EngineParts::Time{clock, timers, queue, parallel, timers});
    parts->engine.start();
  }
  kestles::World snapshot() {
    return parts->engine.snapshot(parts->runningApps.list(), parts->displays.setup());
  }
};

std::unique_ptr<Desk>& platform() {
  static auto desk = std::make_unique<Desk>();
  return desk;
}

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
    state.SkipWithError("no sway or i3 socket");
    return false;
  }
  if (platform()->snapshot().windows.size() < windows) {
    state.SkipWithError("too few windows");
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
    kestles::CGRect to{double(i % 5) * 250 + shift, double(i / 5) * 350 + shift, 240, 300 - shift};
    result.push_back({world.windows[i].id, world.windows[i].frame, to, std::nullopt});
  }
  return result;
}

void IpcSnapshot(benchmark::State& state) {
  if (!ready(state, 10)) return;
  std::size_t count = 0;
  auto before = platform()->layer->roundTrips();
  for (auto _ : state) {
    count = platform()->snapshot().windows.size();
    state.PauseTiming();
    // Each snapshot reads afresh, as a command's first snapshot does.
    platform()->layer->forgetTree();
    state.ResumeTiming();
  }
  state.counters["windows"] = double(count);
  state.counters["round_trips"] =
      double(platform()->layer->roundTrips() - before) / double(state.iterations());
}
BENCHMARK(IpcSnapshot)->Unit(benchmark::kMillisecond)->UseRealTime();

/// The compositor's own part of a snapshot: the tree asked for and its bytes read back,
/// nothing decoded. No reader of the tree can be faster than this.
void IpcTreeBytes(benchmark::State& state) {
  if (!ready(state, 10)) return;
  auto connection = kestles::ipc::IpcConnection::open(*kestles::ipc::socketPath());
  if (!connection) return state.SkipWithError("no connection");
  std::size_t bytes = 0;
  for (auto _ : state)
    bytes = connection->request(kestles::ipc::Request::getTree).value_or("").size();
  state.counters["bytes"] = double(bytes);
}
BENCHMARK(IpcTreeBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

void SwaymsgTree(benchmark::State& state) {
  if (!ready(state, 10)) return;
  for (auto _ : state)
    runQuietly({"swaymsg", "-t", "get_tree"});
}
BENCHMARK(SwaymsgTree)->Unit(benchmark::kMillisecond)->UseRealTime();

void IpcPlaceTen(benchmark::State& state) {
  if (!ready(state, 10)) return;
  auto sets = std::vector{moves(0), moves(1)};
  int round = 0;
  std::size_t landed = 0;
  for (auto _ : state) {
    const auto& set = sets[std::size_t(round++ % 2)];
    auto outcome = platform()->parts->engine.arrange(set, {});
    landed = 0;
    for (const auto& move : set)
      landed += outcome.frames[move.window] == move.to ? 1 : 0;
  }
  state.counters["landed"] = double(landed);
}
BENCHMARK(IpcPlaceTen)->Unit(benchmark::kMillisecond)->UseRealTime();

void SwaymsgPlaceTen(benchmark::State& state) {
  if (!ready(state, 10)) return;
  auto sets = std::vector{moves(0), moves(1)};
  int round = 0;
  for (auto _ : state) {
    for (const auto& move : sets[std::size_t(round % 2)])
      runQuietly({"swaymsg", kestles::ipc::commands::place(move.window, move.to)});
    ++round;
  }
}
BENCHMARK(SwaymsgPlaceTen)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
