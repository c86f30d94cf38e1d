#include "KestlesEngine/platform/ThreadTime.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <vector>

namespace kestles::platform {
namespace {

TEST(ThreadTimeTests, TheSerialQueueRunsWorkInOrderAndSyncWaitsForIt) {
  std::vector<int> order;
  {
    SerialQueue queue;
    for (int i = 0; i < 100; ++i)
      queue.async([&order, i] { order.push_back(i); });
    queue.sync([&] {
      order.push_back(100);
      queue.sync([&] { order.push_back(101); });  // from its own work: runs in place
    });
    EXPECT_EQ(order.size(), 102u);
    queue.async([&order] { order.push_back(102); });
  }  // the queue finishes what is queued before it ends
  ASSERT_EQ(order.size(), 103u);
  for (int i = 0; i < 103; ++i)
    EXPECT_EQ(order[std::size_t(i)], i);
}

TEST(ThreadTimeTests, ParallelForVisitsEveryIndexOnce) {
  ThreadParallelFor parallel;
  std::vector<std::atomic<int>> visits(1000);
  parallel.run(visits.size(), [&](std::size_t i) { ++visits[i]; });
  for (const auto& count : visits)
    EXPECT_EQ(count.load(), 1);
  parallel.run(0, [](std::size_t) { FAIL() << "nothing to visit"; });
  EXPECT_GE(parallel.activeProcessors(), 1);
}

TEST(ThreadTimeTests, TimersFireInOrderAndCancelledOnesNever) {
  SteadyClock clock;
  ThreadTimers timers(clock);
  std::vector<int> fired;
  std::promise<void> last;
  std::mutex mutex;
  auto record = [&](int n) {
    std::lock_guard lock(mutex);
    fired.push_back(n);
  };
  // The timers' thread waits in the first timer until the cancellation has happened.
  std::promise<void> gate;
  auto gateOpen = gate.get_future();
  timers.schedule(Duration{0}, [&] { gateOpen.wait(); });
  auto cancelled = timers.schedule(std::chrono::milliseconds(1), [&] { record(99); });
  timers.schedule(std::chrono::milliseconds(2), [&] { record(2); });
  timers.schedule(std::chrono::microseconds(500), [&] { record(1); });
  timers.schedule(std::chrono::milliseconds(3), [&] {
    record(3);
    last.set_value();
  });
  timers.cancel(cancelled);
  gate.set_value();
  last.get_future().wait();
  std::lock_guard lock(mutex);
  EXPECT_EQ(fired, (std::vector<int>{1, 2, 3}));
}

}  // namespace
}  // namespace kestles::platform
