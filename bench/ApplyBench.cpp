#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "KestlesCore/apply/ApplyPlan.hpp"
#include "KestlesCore/layout/Template.hpp"

namespace kestles {
namespace {

/// A laptop, a wide display and an ultrawide, with 30 windows of 10 apps spread over them.
World threeDisplaysThirtyWindows() {
  World world;
  world.setup.displays = {
      {"LAPTOP", "Built-in", {0, 0, 1512, 982}, {0, 38, 1512, 944}, true, true},
      {"WIDE", "Studio", {1512, 0, 2560, 1440}, {1512, 25, 2560, 1415}, false, false},
      {"ULTRA", "Ultrawide", {4072, 0, 3440, 1440}, {4072, 25, 3440, 1415}, false, false}};
  world.activeDisplayID = "WIDE";
  for (int app = 0; app < 10; ++app)
    world.apps.push_back({100 + app, "org.example.App" + std::to_string(app),
                          "App " + std::to_string(app), app == 9});
  for (std::uint32_t id = 0; id < 30; ++id) {
    WindowSnapshot window;
    window.id = 1000 + id;
    window.pid = 100 + static_cast<int>(id % 10);
    window.bundleID = "org.example.App" + std::to_string(id % 10);
    window.frame = {double(id % 3) * 2500 + 40, 60, 900, 700};
    window.isMinimized = id % 7 == 0;
    window.minimumSize = {400, 300};
    window.zIndex = (id * 13) % 30;
    world.windows.push_back(window);
  }
  return world;
}

/// Nine tiles on each display, pinned to the ten apps in turn, plus an app that is not running.
Kestle ninePerDisplay(const std::string& fingerprint) {
  Kestle kestle;
  kestle.name = "Bench";
  Arrangement arrangement;
  int pin = 0;
  for (const auto& [id, aspect] : {std::pair{"LAPTOP", 1.54}, {"WIDE", 1.78}, {"ULTRA", 2.39}}) {
    KestleScreen screen{{id, id, id == std::string("LAPTOP"), aspect},
                        Template::withID("three-by-three")->shape,
                        LayoutRef::templateLayout("three-by-three"),
                        {}};
    for (int tile = 0; tile < 9; ++tile, ++pin)
      screen.pins.push_back(AppRef{"org.example.App" + std::to_string(pin % 11), "App"});
    arrangement.screens.push_back(std::move(screen));
  }
  kestle.arrangements[fingerprint] = arrangement;
  return kestle;
}

void BM_KestlePlanThreeDisplaysThirtyWindows(benchmark::State& state) {
  auto world = threeDisplaysThirtyWindows();
  auto kestle = ninePerDisplay(world.setup.fingerprint());
  for (auto _ : state)
    benchmark::DoNotOptimize(ApplyPlan::forKestle(kestle, world, Gaps{}));
}
BENCHMARK(BM_KestlePlanThreeDisplaysThirtyWindows);

// The same kestle saved on another display set: the arrangement is derived first.
void BM_KestlePlanDerivedArrangement(benchmark::State& state) {
  auto world = threeDisplaysThirtyWindows();
  auto kestle = ninePerDisplay("OTHER+SET");
  for (auto _ : state)
    benchmark::DoNotOptimize(ApplyPlan::forKestle(kestle, world, Gaps{}));
}
BENCHMARK(BM_KestlePlanDerivedArrangement);

}  // namespace
}  // namespace kestles
