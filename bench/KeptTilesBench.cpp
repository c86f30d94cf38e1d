#include <benchmark/benchmark.h>

#include <set>
#include <stdexcept>

#include "KestlesCore/tiling/KeptTiles.hpp"

namespace kestles {
namespace {

const std::vector<DisplayInfo> kDisplays{
    {"laptop", "Laptop", {0, 0, 1512, 982}, {0, 32, 1512, 950}, true, true},
    {"wide", "Wide", {1512, 0, 2560, 1440}, {1512, 0, 2560, 1440}, false, false},
    {"portrait", "Portrait", {4072, 0, 1080, 1920}, {4072, 0, 1080, 1920}, false, false}};

/// Twenty-nine windows on three kept displays, settled in their tiles, and a thirtieth that
/// has just opened on the wide display, where the grid still has room for it (nine tiles).
struct Desk {
  World world;
  Tilings tilings;
  KeptTiles kept;
  std::set<std::string> displays{"laptop", "wide", "portrait"};

  Desk(TilingStyle style, TileChanges changes) {
    world.setup.displays = kDisplays;
    std::uint32_t next = 100;
    const int counts[] = {10, 8, 11};
    for (std::size_t d = 0; d < kDisplays.size(); ++d)
      for (int i = 0; i < counts[d]; ++i) {
        const auto& display = kDisplays[d];
        WindowSnapshot window;
        window.id = next++;
        window.pid = static_cast<std::int32_t>(window.id);
        window.bundleID = "app." + std::to_string(window.id);
        window.frame = display.visibleFrame.insetBy(100 + 10 * i, 100 + 10 * i);
        world.windows.push_back(window);
      }
    settle(style, changes);
    WindowSnapshot opened;
    opened.id = next;
    opened.bundleID = "app.new";
    opened.frame = {2000, 200, 800, 600};
    world.windows.push_back(opened);
  }

  void settle(TilingStyle style, TileChanges changes) {
    auto plan = kept.check(displays, world, tilings, Gaps{}, style, changes);
    if (!plan) throw std::logic_error("the first look tiles every display");
    tilings = plan->tilings;
    for (const auto& move : plan->moves)
      for (auto& window : world.windows)
        if (window.id == move.window) window.frame = move.to;
  }
};

/// The reaction to one window opening among thirty on three kept displays.
void BM_KeepTiledCheckOneWindowOpened(benchmark::State& state) {
  auto changes = state.range(0) == 0 ? TileChanges::rearrange : TileChanges::inPlace;
  Desk desk(TilingStyle::grid, changes);
  for (auto _ : state) {
    KeptTiles kept = desk.kept;
    auto plan =
        kept.check(desk.displays, desk.world, desk.tilings, Gaps{}, TilingStyle::grid, changes);
    if (!plan) state.SkipWithError("the opened window was not noticed");
    benchmark::DoNotOptimize(plan);
  }
}
BENCHMARK(BM_KeepTiledCheckOneWindowOpened)->Arg(0)->Arg(1)->ArgName("inPlace");

}  // namespace
}  // namespace kestles
