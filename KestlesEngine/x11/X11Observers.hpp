#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

namespace kestles::x11 {

/// The observers of one kind of notification that the layer's event thread posts: added and
/// removed from any thread, called on the event thread.
template <class... Note>
class X11Observers {
 public:
  using Observer = std::function<void(const Note&...)>;

  /// Adds an observer; returns its token.
  std::uint64_t add(Observer observer) {
    std::lock_guard guard(mutex_);
    auto token = nextToken_++;
    observers_[token] = std::move(observer);
    return token;
  }

  /// Once this returns, the observer is not running and never runs again.
  void remove(std::uint64_t token) {
    std::lock_guard delivery(deliveryMutex_);
    std::lock_guard guard(mutex_);
    observers_.erase(token);
  }

  /// Calls every observer with the notification.
  void post(const Note&... note) {
    std::lock_guard delivery(deliveryMutex_);
    std::vector<Observer> observers;
    {
      std::lock_guard guard(mutex_);
      for (const auto& [token, observer] : observers_)
        observers.push_back(observer);
    }
    for (const auto& observer : observers)
      observer(note...);
  }

 private:
  std::recursive_mutex deliveryMutex_;  // held while observers run
  std::mutex mutex_;
  std::map<std::uint64_t, Observer> observers_;
  std::uint64_t nextToken_ = 1;
};

}  // namespace kestles::x11
