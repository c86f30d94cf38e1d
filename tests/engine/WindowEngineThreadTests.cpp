#include <gtest/gtest.h>

#include "EngineDesk.hpp"
#include "KestlesEngine/platform/ThreadTime.hpp"

namespace kestles::engine {
namespace {

using namespace testing;

// The engine on real threads: its queue, per-app jobs on several threads, real timers.
TEST(WindowEngineThreadTests, MovesEveryAppsWindowsFromWorkerThreads) {
  World world = smallWorld();
  for (std::int32_t pid = 300; pid < 308; ++pid) {
    world.apps.push_back({pid, "com.example.app" + std::to_string(pid), "App", false});
    world.windows.push_back(window(std::uint32_t(pid * 10), pid, {0, 25, 400, 300}, pid));
    world.windows.back().bundleID = world.apps.back().bundleID;
  }
  sim::FakeClock simClock;
  sim::SimDesktop sim(world, simClock);
  sim::MemoryLog log;
  platform::SteadyClock clock;
  platform::ThreadTimers timers(clock);
  platform::SerialQueue queue;
  platform::ThreadParallelFor parallel;
  EngineParts parts(EngineParts::Desktop::of(sim.parts()), log,
                    {clock, timers, queue, parallel, timers});
  auto& engine = parts.engine;
  engine.start();
  auto before = engine.snapshot(world.apps, world.setup);
  ASSERT_EQ(before.windows.size(), world.windows.size());
  std::vector<WindowEngine::MoveRequest> moves;
  for (std::size_t i = 0; i < before.windows.size(); ++i)
    moves.push_back({before.windows[i].id, CGRect(double(i) * 20, 30, 500, 400), std::nullopt, 0});
  auto outcome = engine.place(moves, before, platform::Duration{0});
  EXPECT_TRUE(outcome.failures.empty());
  ASSERT_EQ(outcome.frames.size(), moves.size());
  for (const auto& move : moves) {
    EXPECT_EQ(outcome.frames.at(move.window), move.frame);
    EXPECT_EQ(sim.window(move.window)->frame, move.frame);
  }
}

}  // namespace
}  // namespace kestles::engine
