#include <benchmark/benchmark.h>

#include "KestlesCore/layout/LayoutSolver.hpp"
#include "KestlesCore/tiling/StyleShapes.hpp"
#include "KestlesCore/tiling/Tiling.hpp"

namespace kestles {
namespace {

const CGRect kVisible(0, 25, 2560, 1415);

/// What tiling nine windows in a grid costs before any window moves: the style's shape
/// (built, solved in the unit square and matched against "three-by-three") and its frames.
void BM_GridShapeAndSolveNineTiles(benchmark::State& state) {
  for (auto _ : state) {
    auto shape = shapeForCount(9, kVisible.size, TilingStyle::grid);
    benchmark::DoNotOptimize(LayoutSolver::solve(shape, kVisible, Gaps{}));
  }
}
BENCHMARK(BM_GridShapeAndSolveNineTiles);

/// The same for the spiral, which is generated without a template.
void BM_SpiralShapeAndSolveNineTiles(benchmark::State& state) {
  for (auto _ : state) {
    auto shape = shapeForCount(9, kVisible.size, TilingStyle::spiral, true);
    benchmark::DoNotOptimize(LayoutSolver::solve(shape, kVisible, Gaps{}));
  }
}
BENCHMARK(BM_SpiralShapeAndSolveNineTiles);

}  // namespace
}  // namespace kestles
