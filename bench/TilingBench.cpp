#include <benchmark/benchmark.h>

#include "KestlesCore/layout/LayoutSolver.hpp"
#include "KestlesCore/tiling/LayoutInference.hpp"
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

/// Reading a layout off nine window frames laid out three by three with small gaps.
void BM_InferLayoutOfNineFrames(benchmark::State& state) {
  std::vector<CGRect> frames;
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column)
      frames.emplace_back(8 + column * 850, 33 + row * 470, 840, 460);
  for (auto _ : state)
    benchmark::DoNotOptimize(LayoutInference::infer(frames, kVisible));
}
BENCHMARK(BM_InferLayoutOfNineFrames);

}  // namespace
}  // namespace kestles
