#include "KestlesEngine/sim/SimWorkspace.hpp"

namespace kestles::sim {

void SimWorkspace::dropPID(std::int32_t pid) {
  std::lock_guard lock(world_.mutex);
  if (auto app = world_.appOf(pid)) app->pidDropped = true;
}

void SimWorkspace::setOwnPID(std::int32_t pid) {
  std::lock_guard lock(world_.mutex);
  world_.ownPID = pid;
}

std::vector<platform::RunningApplication> SimWorkspace::runningApplications() {
  std::lock_guard lock(world_.mutex);
  std::vector<platform::RunningApplication> list;
  for (const auto& app : world_.apps)
    if (app.running)
      list.push_back({app.handle, app.pidDropped ? -1 : app.app.pid, app.app.bundleID, app.app.name,
                      app.app.isHidden, true, false});
  return list;
}

std::int32_t SimWorkspace::ownPID() {
  std::lock_guard lock(world_.mutex);
  return world_.ownPID;
}

bool SimWorkspace::processExists(std::int32_t pid) {
  std::lock_guard lock(world_.mutex);
  return pid == world_.ownPID || world_.appOf(pid) != nullptr;
}

std::uint64_t SimWorkspace::observe(Observer observer) {
  std::lock_guard lock(world_.mutex);
  auto token = world_.token();
  world_.workspaceObservers[token] = std::move(observer);
  return token;
}

void SimWorkspace::stopObserving(std::uint64_t token) {
  std::lock_guard lock(world_.mutex);
  world_.workspaceObservers.erase(token);
}

}  // namespace kestles::sim
