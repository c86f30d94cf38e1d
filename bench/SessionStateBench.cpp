// Reading the app's session state at start: a busy desktop's bounded state, and a file over
// the size limit, which is refused unread.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "KestlesCore/layout/Template.hpp"
#include "KestlesCore/session/SessionState.hpp"

namespace kestles {
namespace {

std::filesystem::path benchFolder() {
  return std::filesystem::temp_directory_path() / ("kestles-bench-" + std::to_string(::getpid()));
}

/// Forty windows on three displays, each tiled in thirds, twenty snapped, both undo stacks
/// full of changes that moved every window: more than a real session keeps.
SessionState busyState() {
  const std::string displays[] = {"LAPTOP", "WIDE", "PORTRAIT"};
  SessionState state;
  for (std::uint32_t window = 1; window <= 40; ++window)
    state.identities.emplace(window, WindowIdentity{window, 100 + static_cast<int>(window) % 7,
                                                    "org.example.app" + std::to_string(window)});
  std::uint32_t next = 1;
  for (const auto& id : displays) {
    state.tilings[id] = Tiling::make(id, Template::withID("thirds")->shape, std::nullopt,
                                     {next, next + 1, next + 2});
    next += 3;
  }
  for (std::uint32_t window = 21; window <= 40; ++window)
    state.snapMemory.remember(window, {10.5, 20.25, 700, 500}, {0, 38, 756, 944});
  for (int i = 0; i < 2 * static_cast<int>(UndoHistory::kLimit); ++i) {
    auto entry = UndoEntry::make(UndoEntry::Kind::apply, "Tile Windows", "Tile Windows");
    for (std::uint32_t window = 1; window <= 40; ++window)
      entry.frames[window] = {12.5 * window, 40.0 + window, 800, 600};
    entry.rearrangement = UndoEntry::Rearrangement{
        {displays[0], displays[1], displays[2]}, state.tilings, state.snapMemory};
    (i % 2 ? state.undo.entries : state.undo.redoEntries).push_back(std::move(entry));
  }
  return state;
}

void BM_ReadBusyState(benchmark::State& state) {
  auto path = benchFolder() / "state.json";
  busyState().write(path);
  for (auto _ : state) {
    auto read = SessionState::read(path);
    benchmark::DoNotOptimize(read);
  }
  state.counters["KB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e3;
  std::filesystem::remove_all(benchFolder());
}
BENCHMARK(BM_ReadBusyState)->Unit(benchmark::kMillisecond);

// A 31 MB file of valid JSON, which once took seconds and hundreds of megabytes to read.
void BM_RefuseOversizedState(benchmark::State& state) {
  auto path = benchFolder() / "large.json";
  std::filesystem::create_directories(benchFolder());
  std::ofstream(path) << R"({"padding": ")" << std::string(31u << 20, 'x') << R"("})";
  for (auto _ : state) {
    std::string problem;
    auto read = SessionState::read(path, &problem);
    benchmark::DoNotOptimize(read);
  }
  std::filesystem::remove_all(benchFolder());
}
BENCHMARK(BM_RefuseOversizedState)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kestles
