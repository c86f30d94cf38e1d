#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <utility>

#include "KestlesEngine/platform/Time.hpp"

namespace kestles::sim {

/// A clock that moves only when told to, with one-shot timers on it. Sleeping advances it,
/// so that a timed algorithm runs its whole course at once, deterministically.
class FakeClock final : public platform::Clock, public platform::Timers {
 public:
  platform::ContinuousInstant now() override;
  /// Advances the clock (see `advance`).
  void sleep(platform::Duration duration) override { advance(duration); }
  /// Moves the clock forward, firing every timer that falls due on the way, each at its own
  /// instant and in the order of their instants (then of scheduling).
  void advance(platform::Duration duration);
  /// Moves the clock forward without firing timers: time spent inside a call.
  void pass(platform::Duration duration);

  std::uint64_t schedule(platform::Duration after, std::function<void()> work) override;
  void cancel(std::uint64_t token) override;
  /// How many timers wait to fire.
  std::size_t pendingTimers();

 private:
  std::mutex mutex_;
  platform::ContinuousInstant now_;
  std::uint64_t nextToken_ = 1;
  // By due instant, then by token: timers of one instant fire in scheduling order.
  std::map<std::pair<platform::ContinuousInstant, std::uint64_t>, std::function<void()>> timers_;
};

/// A serial executor that runs work on the caller's thread: `sync` runs at once, `async`
/// work queued while other work runs waits until that work has finished.
class InlineExecutor final : public platform::SerialExecutor {
 public:
  void async(std::function<void()> work) override;
  void sync(const std::function<void()>& work) override;

 private:
  void drain();
  std::deque<std::function<void()>> queue_;
  bool running_ = false;
};

/// Runs the iterations one after another in index order, claiming `processors` processors.
class SequentialFor final : public platform::ParallelFor {
 public:
  explicit SequentialFor(int processors = 4) : processors_(processors) {}
  void run(std::size_t count, const std::function<void(std::size_t)>& body) override;
  int activeProcessors() override { return processors_; }
  void setActiveProcessors(int processors) { processors_ = processors; }

 private:
  int processors_;
};

}  // namespace kestles::sim
