#include <benchmark/benchmark.h>

#include <vector>

#include "KestlesCore/display/DisplaySetup.hpp"
#include "KestlesCore/layout/LayoutSolver.hpp"

namespace kestles {
namespace {

const CGRect kVisible(0, 25, 2560, 1415);

/// Three rows of three tiles, the way a grid of nine windows is tiled.
LayoutNode nineTiles() {
  std::vector<LayoutNode> rows;
  for (int r = 0; r < 3; ++r)
    rows.push_back(
        LayoutNode::columns({LayoutNode::tile(), LayoutNode::tile(1.5), LayoutNode::tile()}));
  return LayoutNode::rows(std::move(rows));
}

/// Columns of rows of columns: 3 × 2 × 5 = 30 tiles over three levels.
LayoutNode thirtyTiles() {
  std::vector<LayoutNode> columns;
  for (int c = 0; c < 3; ++c) {
    std::vector<LayoutNode> rows;
    for (int r = 0; r < 2; ++r) {
      std::vector<LayoutNode> tiles;
      for (int t = 0; t < 5; ++t)
        tiles.push_back(LayoutNode::tile(1 + 0.1 * t));
      rows.push_back(LayoutNode::columns(std::move(tiles)));
    }
    columns.push_back(LayoutNode::rows(std::move(rows)));
  }
  return LayoutNode::columns(std::move(columns));
}

void BM_SolveNineTilesWithMinimums(benchmark::State& state) {
  auto tree = nineTiles();
  std::vector<MinimumSize> minimums(9, MinimumSize{500, 300});
  minimums[4] = {900, 0};
  for (auto _ : state)
    benchmark::DoNotOptimize(LayoutSolver::solve(tree, kVisible, Gaps{}, minimums));
}
BENCHMARK(BM_SolveNineTilesWithMinimums);

void BM_SolveThirtyTilesThreeLevels(benchmark::State& state) {
  auto tree = thirtyTiles();
  std::vector<MinimumSize> minimums(30, MinimumSize{120, 200});
  for (auto _ : state)
    benchmark::DoNotOptimize(LayoutSolver::solve(tree, kVisible, Gaps{}, minimums));
}
BENCHMARK(BM_SolveThirtyTilesThreeLevels);

void BM_DisplayForFrameAmongFour(benchmark::State& state) {
  DisplaySetup setup{{
      {"A", "Left", {-1920, 0, 1920, 1080}, {-1920, 25, 1920, 1055}, false, false},
      {"B", "Built-in", {0, 0, 1512, 982}, {0, 38, 1512, 944}, true, true},
      {"C", "Right", {1512, -200, 2560, 1440}, {1512, -175, 2560, 1415}, false, false},
      {"D", "Portrait", {4072, -800, 1440, 2560}, {4072, -775, 1440, 2535}, false, false},
  }};
  const CGRect frame(3900, 100, 800, 600);  // straddles the right and the portrait display
  for (auto _ : state)
    benchmark::DoNotOptimize(setup.display(frame));
}
BENCHMARK(BM_DisplayForFrameAmongFour);

}  // namespace
}  // namespace kestles
