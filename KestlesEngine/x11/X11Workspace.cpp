#include "KestlesEngine/x11/X11Workspace.hpp"

#include <unistd.h>

#include <vector>

namespace kestles::x11 {

std::vector<platform::RunningApplication> X11Workspace::runningApplications() {
  auto entries = session_.entries();
  auto guard = session_.lock();
  auto desktop = session_.desktop();
  return applicationsOf(session_.connection(), desktop, entries);
}

std::int32_t X11Workspace::ownPID() {
  return getpid();
}

bool X11Workspace::processExists(std::int32_t pid) {
  return session_.appExists(pid);
}

std::uint64_t X11Workspace::observe(Observer observer) {
  std::lock_guard guard(mutex_);
  auto token = nextToken_++;
  observers_[token] = std::move(observer);
  return token;
}

void X11Workspace::stopObserving(std::uint64_t token) {
  std::lock_guard delivery(deliveryMutex_);
  std::lock_guard guard(mutex_);
  observers_.erase(token);
}

void X11Workspace::post(const platform::WorkspaceNotification& notification) {
  std::lock_guard delivery(deliveryMutex_);
  std::vector<Observer> observers;
  {
    std::lock_guard guard(mutex_);
    for (const auto& [token, observer] : observers_)
      observers.push_back(observer);
  }
  for (const auto& observer : observers)
    observer(notification);
}

}  // namespace kestles::x11
