#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace kestles::platform {

/// Lengths of time, in nanoseconds.
using Duration = std::chrono::nanoseconds;

/// An instant of a clock that keeps running while the machine sleeps.
struct ContinuousInstant {
  Duration sinceStart{0};
  auto operator<=>(const ContinuousInstant&) const = default;
  Duration operator-(ContinuousInstant other) const { return sinceStart - other.sinceStart; }
  ContinuousInstant operator+(Duration d) const { return {sinceStart + d}; }
};

/// Seconds as a duration: `seconds(0.016)`.
constexpr Duration seconds(double value) {
  return std::chrono::duration_cast<Duration>(std::chrono::duration<double>(value));
}

/// A duration as the log shows it: "0.5 seconds".
std::string describe(Duration duration);

/// The continuous clock, and sleeping on it.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual ContinuousInstant now() = 0;
  /// Blocks the calling thread for the duration.
  virtual void sleep(Duration duration) = 0;
};

/// One-shot timers.
class Timers {
 public:
  virtual ~Timers() = default;
  /// Runs `work` once, `after` from now, on the timers' own context; returns a token.
  virtual std::uint64_t schedule(Duration after, std::function<void()> work) = 0;
  /// Cancels a timer that has not fired yet; nothing happens for a fired or unknown one.
  virtual void cancel(std::uint64_t token) = 0;
};

/// Runs work one item at a time, in order.
class SerialExecutor {
 public:
  virtual ~SerialExecutor() = default;
  /// Queues the work and returns at once.
  virtual void async(std::function<void()> work) = 0;
  /// Runs the work after everything queued before it and waits for it to finish.
  virtual void sync(const std::function<void()>& work) = 0;
};

/// Runs `count` iterations, possibly in parallel, and returns when all have finished.
class ParallelFor {
 public:
  virtual ~ParallelFor() = default;
  virtual void run(std::size_t count, const std::function<void(std::size_t index)>& body) = 0;
  /// How many iterations can really run at once (the active processors).
  virtual int activeProcessors() = 0;
};

}  // namespace kestles::platform
