#include "KestlesEngine/x11/X11Workspace.hpp"

#include <unistd.h>

namespace kestles::x11 {

std::vector<platform::RunningApplication> X11Workspace::runningApplications() {
  auto entries = session_.entries();
  auto guard = session_.lock();
  auto desktop = session_.desktop();
  return applicationsOf(session_.connection(), desktop, *entries);
}

std::int32_t X11Workspace::ownPID() {
  return getpid();
}

bool X11Workspace::processExists(std::int32_t pid) {
  return session_.appExists(pid);
}

std::uint64_t X11Workspace::observe(Observer observer) {
  return observers_.add(std::move(observer));
}

void X11Workspace::stopObserving(std::uint64_t token) {
  observers_.remove(token);
}

void X11Workspace::post(const platform::WorkspaceNotification& notification) {
  observers_.post(notification);
}

}  // namespace kestles::x11
