#include "KestlesEngine/platform/ThreadTime.hpp"

#include <algorithm>
#include <atomic>
#include <future>
#include <vector>

namespace kestles::platform {

ContinuousInstant SteadyClock::now() {
  return {
      std::chrono::duration_cast<Duration>(std::chrono::steady_clock::now().time_since_epoch())};
}

void SteadyClock::sleep(Duration duration) {
  std::this_thread::sleep_for(duration);
}

ThreadTimers::ThreadTimers(Clock& clock) : clock_(clock), thread_([this] { run(); }) {}

ThreadTimers::~ThreadTimers() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    timers_.clear();
  }
  changed_.notify_all();
  thread_.join();
}

std::uint64_t ThreadTimers::schedule(Duration after, std::function<void()> work) {
  std::uint64_t token;
  {
    std::lock_guard lock(mutex_);
    token = nextToken_++;
    timers_.emplace(std::pair{clock_.now() + std::max(after, Duration{0}), token}, std::move(work));
  }
  changed_.notify_all();
  return token;
}

void ThreadTimers::cancel(std::uint64_t token) {
  std::lock_guard lock(mutex_);
  std::erase_if(timers_, [token](const auto& entry) { return entry.first.second == token; });
}

void ThreadTimers::run() {
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    if (timers_.empty()) {
      changed_.wait(lock);
      continue;
    }
    auto due = timers_.begin()->first.first;
    auto now = clock_.now();
    if (due > now) {
      // Woken early by a new timer, a cancellation or the end; the loop looks again.
      changed_.wait_for(lock, due - now);
      continue;
    }
    auto work = std::move(timers_.begin()->second);
    timers_.erase(timers_.begin());
    lock.unlock();
    work();
    lock.lock();
  }
}

SerialQueue::SerialQueue() : thread_([this] { run(); }) {}

SerialQueue::~SerialQueue() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void SerialQueue::async(std::function<void()> work) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(work));
  }
  changed_.notify_all();
}

void SerialQueue::sync(const std::function<void()>& work) {
  // Waiting for its own queue would never end: work of the queue runs in place.
  if (std::this_thread::get_id() == thread_.get_id()) return work();
  std::promise<void> done;
  async([&] {
    work();
    done.set_value();
  });
  done.get_future().wait();
}

void SerialQueue::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (queue_.empty()) return;  // stopping, and nothing left to run
    auto work = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    work();
    lock.lock();
  }
}

void ThreadParallelFor::run(std::size_t count, const std::function<void(std::size_t)>& body) {
  std::atomic<std::size_t> next{0};
  auto worker = [&] {
    for (auto index = next++; index < count; index = next++)
      body(index);
  };
  auto helpers = std::min<std::size_t>(count, std::size_t(activeProcessors()));
  std::vector<std::thread> threads;
  for (std::size_t i = 1; i < helpers; ++i)
    threads.emplace_back(worker);
  worker();
  for (auto& thread : threads)
    thread.join();
}

int ThreadParallelFor::activeProcessors() {
  return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace kestles::platform
