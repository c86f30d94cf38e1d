#include "KestlesEngine/sim/FakeTime.hpp"

#include <algorithm>

namespace kestles::sim {

platform::ContinuousInstant FakeClock::now() {
  std::lock_guard lock(mutex_);
  return now_;
}

void FakeClock::advance(platform::Duration duration) {
  std::unique_lock lock(mutex_);
  auto end = now_ + duration;
  while (!timers_.empty() && timers_.begin()->first.first <= end) {
    auto due = timers_.begin();
    now_ = std::max(now_, due->first.first);
    auto work = std::move(due->second);
    timers_.erase(due);
    // The work may read the clock, sleep or schedule more timers.
    lock.unlock();
    work();
    lock.lock();
  }
  now_ = std::max(now_, end);
}

void FakeClock::pass(platform::Duration duration) {
  std::lock_guard lock(mutex_);
  now_ = now_ + duration;
}

std::uint64_t FakeClock::schedule(platform::Duration after, std::function<void()> work) {
  std::lock_guard lock(mutex_);
  auto token = nextToken_++;
  timers_.emplace(std::pair{now_ + std::max(after, platform::Duration{0}), token}, std::move(work));
  return token;
}

void FakeClock::cancel(std::uint64_t token) {
  std::lock_guard lock(mutex_);
  std::erase_if(timers_, [token](const auto& entry) { return entry.first.second == token; });
}

std::size_t FakeClock::pendingTimers() {
  std::lock_guard lock(mutex_);
  return timers_.size();
}

void InlineExecutor::async(std::function<void()> work) {
  queue_.push_back(std::move(work));
  drain();
}

void InlineExecutor::sync(const std::function<void()>& work) {
  // Work that waits for its own queue would never finish on a real serial queue; here it
  // simply runs in place.
  if (running_) return work();
  running_ = true;
  work();
  running_ = false;
  drain();
}

void InlineExecutor::drain() {
  if (running_) return;
  running_ = true;
  while (!queue_.empty()) {
    auto work = std::move(queue_.front());
    queue_.pop_front();
    work();
  }
  running_ = false;
}

void SequentialFor::run(std::size_t count, const std::function<void(std::size_t)>& body) {
  for (std::size_t index = 0; index < count; ++index)
    body(index);
}

}  // namespace kestles::sim
