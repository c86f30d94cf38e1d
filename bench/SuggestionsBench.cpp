#include <benchmark/benchmark.h>

#include <cstdio>

#include "KestlesCore/tiling/StyleShapes.hpp"
#include "KestlesCore/tiling/SuggestionStep.hpp"
#include "KestlesCore/tiling/Suggestions.hpp"

namespace kestles {
namespace {

const DisplayInfo kStudio{"STUDIO", "Studio", {0, 0, 2560, 1440}, {0, 25, 2560, 1415}, false, true};

std::vector<WindowSnapshot> nineWindows() {
  const char* apps[][2] = {{"com.apple.dt.Xcode", "Xcode"},        {"com.apple.Safari", "Safari"},
                           {"com.apple.Terminal", "Terminal"},     {"com.apple.mail", "Mail"},
                           {"com.tinyspeck.slackmacgap", "Slack"}, {"com.apple.Notes", "Notes"},
                           {"com.figma.Desktop", "Figma"},         {"com.apple.Music", "Music"},
                           {"org.example.Thing", "Thing"}};
  std::vector<WindowSnapshot> windows;
  for (std::uint32_t i = 0; i < 9; ++i) {
    WindowSnapshot window;
    window.id = 100 + i;
    window.bundleID = apps[i][0];
    window.appName = apps[i][1];
    window.frame = {40.0 * i, 30.0 * i, 900, 700};
    window.zIndex = i;
    // Some windows have learned limits, so that the size-fit term is worked out too.
    if (i % 3 == 0) window.minimumSize = {500, 400};
    if (i == 4) window.maximumSize = {800, 600};
    windows.push_back(window);
  }
  return windows;
}

/// Twenty saved layouts of 8 to 10 tiles, every one a candidate for nine windows, made on
/// displays of several aspects; a quarter of them drawn.
std::vector<SavedLayout> twentyLayouts() {
  std::vector<SavedLayout> layouts;
  const TilingStyle styles[] = {TilingStyle::grid, TilingStyle::columns, TilingStyle::spiral,
                                TilingStyle::mainStack};
  for (int i = 0; i < 20; ++i) {
    SavedLayout layout;
    char name[32];
    std::snprintf(name, sizeof name, "Layout %d", i + 1);
    layout.name = name;
    layout.shape = shapeForCount(8 + i % 3, {2560.0 + 40 * i, 1415}, styles[i % 4], true);
    if (i % 4 == 3) {
      std::vector<DrawnTile> tiles;
      for (int t = 0; t < 9; ++t)
        tiles.push_back({UUID::random(), {(t % 3) / 3.0, (t / 3) / 3.0, 1 / 3.0, 1 / 3.0}});
      layout.shape = TileShape::drawn(std::move(tiles));
    }
    layout.display = DisplayKind{name, "Display", false, 1.5 + 0.05 * i};
    layouts.push_back(std::move(layout));
  }
  return layouts;
}

/// A board for nine windows with twenty saved layouts and a memory of earlier picks, and
/// the choice a Tile Windows request makes from it.
void BM_BoardForNineWindowsWithTwentySavedLayouts(benchmark::State& state) {
  auto layouts = twentyLayouts();
  Suggestions::Request request;
  request.display = kStudio;
  request.windows = nineWindows();
  request.savedLayouts = layouts;
  TilingMemory memory;
  auto key = Suggestions::key(request.windows, kStudio.shape());
  memory.record("template:three-by-three", key);
  memory.record("saved:" + layouts[4].id.uuidString(), key);
  request.memory = &memory;
  std::vector<std::uint32_t> ids;
  for (const auto& window : request.windows)
    ids.push_back(window.id);
  for (auto _ : state) {
    auto board = Suggestions::board(request);
    benchmark::DoNotOptimize(chooseSuggestion(board, ids, std::nullopt));
  }
}
BENCHMARK(BM_BoardForNineWindowsWithTwentySavedLayouts)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kestles
