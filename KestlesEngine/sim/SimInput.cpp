#include "KestlesEngine/sim/SimInput.hpp"

namespace kestles::sim {

void SimInput::changeFlags(std::uint16_t keyCode, std::uint64_t flags) {
  std::vector<platform::InputMonitor::Handler> handlers;
  {
    std::lock_guard lock(world_.mutex);
    for (const auto& [token, handler] : flagMonitors_)
      handlers.push_back(handler);
  }
  platform::FlagsChangedEvent event{keyCode, flags, systemUptime()};
  for (const auto& handler : handlers)
    handler(event);
}

void SimInput::input(platform::InputKind kind) {
  std::lock_guard lock(world_.mutex);
  lastInput_[kind] = systemUptime();
}

std::uint64_t SimInput::addFlagsChangedMonitor(platform::InputMonitor::Handler handler) {
  std::lock_guard lock(world_.mutex);
  auto token = world_.token();
  flagMonitors_[token] = std::move(handler);
  return token;
}

void SimInput::removeMonitor(std::uint64_t token) {
  std::lock_guard lock(world_.mutex);
  flagMonitors_.erase(token);
}

double SimInput::systemUptime() {
  return std::chrono::duration<double>(world_.clock.now().sinceStart).count();
}

double SimInput::secondsSinceLastEvent(platform::InputKind kind) {
  std::lock_guard lock(world_.mutex);
  auto last = lastInput_.find(kind);
  // Nothing of the kind since the session began: as long ago as can be.
  if (last == lastInput_.end()) return 1e9;
  return systemUptime() - last->second;
}

}  // namespace kestles::sim
