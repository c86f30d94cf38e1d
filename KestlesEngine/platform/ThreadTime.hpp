#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "KestlesEngine/platform/Time.hpp"

namespace kestles::platform {

/// The machine's monotonic clock; sleeping blocks the thread.
class SteadyClock final : public Clock {
 public:
  ContinuousInstant now() override;
  void sleep(Duration duration) override;
};

/// One-shot timers on one thread of their own; the work runs on that thread.
class ThreadTimers final : public Timers {
 public:
  explicit ThreadTimers(Clock& clock);
  /// Fires nothing more; work already running finishes first.
  ~ThreadTimers() override;
  std::uint64_t schedule(Duration after, std::function<void()> work) override;
  void cancel(std::uint64_t token) override;

 private:
  void run();
  Clock& clock_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::map<std::pair<ContinuousInstant, std::uint64_t>, std::function<void()>> timers_;
  std::uint64_t nextToken_ = 1;
  bool stopping_ = false;
  std::thread thread_;
};

/// A serial queue on a thread of its own. `sync` from the queue's own work runs in place.
class SerialQueue final : public SerialExecutor {
 public:
  SerialQueue();
  /// Runs what is queued, then ends the thread.
  ~SerialQueue() override;
  void async(std::function<void()> work) override;
  void sync(const std::function<void()>& work) override;

 private:
  void run();
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::function<void()>> queue_;
  bool stopping_ = false;
  std::thread thread_;
};

/// Runs the iterations on as many threads as there are processors (the caller's among them).
class ThreadParallelFor final : public ParallelFor {
 public:
  void run(std::size_t count, const std::function<void(std::size_t)>& body) override;
  int activeProcessors() override;
};

}  // namespace kestles::platform
