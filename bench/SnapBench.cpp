#include <benchmark/benchmark.h>

#include "KestlesCore/snap/KeySnap.hpp"

namespace kestles {
namespace {

DisplayInfo display(std::string id, CGRect frame, double menuBar) {
  return {id,    id,
          frame, {frame.minX(), frame.minY() + menuBar, frame.width(), frame.height() - menuBar},
          false, false};
}

/// A laptop, a wide display and a portrait one, with 30 tiled windows spread over them (ten
/// each, in two rows of five), and a free window on the wide display,
/// snapped from there.
KeySnap::Planner busyDesktop() {
  KeySnap::Planner planner;
  planner.setup = {{display("L", {0, 0, 1512, 982}, 25), display("E", {1512, 0, 2560, 1440}, 25),
                    display("P", {4072, 0, 1080, 1920}, 0)}};
  std::uint32_t id = 100;
  for (const auto& d : planner.setup.displays) {
    const CGRect& v = d.visibleFrame;
    double w = v.width() / 5, h = v.height() / 2;
    for (int row = 0; row < 2; ++row)
      for (int column = 0; column < 5; ++column)
        planner.sessionFrames.emplace(
            id++, CGRect(v.minX() + column * w + 4, v.minY() + row * h + 4, w - 8, h - 8));
  }
  // The snapped window is free in the room of the wide display's middle column.
  planner.sessionFrames.erase(112);
  planner.sessionFrames.erase(117);
  planner.window = 7;
  planner.display = planner.setup.displays[1];
  planner.frame = {2600, 300, 300, 500};
  planner.memory.remember(7, {1600, 100, 900, 700}, planner.frame);
  return planner;
}

/// One action planned over and over; an action with nothing to plan would time the wrong path.
void BM_Plan(benchmark::State& state, SnapAction action) {
  auto planner = busyDesktop();
  if (!KeySnap::plan(action, planner)) state.SkipWithError("nothing to plan");
  for (auto _ : state)
    benchmark::DoNotOptimize(KeySnap::plan(action, planner));
}
BENCHMARK_CAPTURE(BM_Plan, FillSpaceAmongThirtyWindows, SnapAction::fillSpace);
BENCHMARK_CAPTURE(BM_Plan, LeftHalf, SnapAction::leftHalf);
BENCHMARK_CAPTURE(BM_Plan, NextDisplay, SnapAction::nextDisplay);
BENCHMARK_CAPTURE(BM_Plan, Restore, SnapAction::restore);

/// All 28 actions one after another; the time per iteration is for the whole round.
void BM_PlanEveryAction(benchmark::State& state) {
  auto planner = busyDesktop();
  for (auto _ : state)
    for (auto action : allSnapActions())
      benchmark::DoNotOptimize(KeySnap::plan(action, planner));
}
BENCHMARK(BM_PlanEveryAction);

}  // namespace
}  // namespace kestles
