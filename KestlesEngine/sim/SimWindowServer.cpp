#include "KestlesEngine/sim/SimWindowServer.hpp"

namespace kestles::sim {

void SimWindowServer::unlist(std::uint32_t window) {
  std::lock_guard lock(world_.mutex);
  if (auto found = world_.windowNumbered(window)) found->listed = false;
}

void SimWindowServer::failWindowList() {
  std::lock_guard lock(world_.mutex);
  windowListFails_ = true;
}

std::optional<std::vector<platform::WindowServer::Window>> SimWindowServer::onScreenWindows() {
  std::lock_guard lock(world_.mutex);
  if (windowListFails_) return std::nullopt;
  std::vector<platform::WindowServer::Window> list;
  for (auto index : world_.zOrder()) {
    const auto& window = world_.windows[index];
    auto app = world_.appOf(window.snapshot.pid);
    if (window.listed && !window.snapshot.isMinimized && app && !app->app.isHidden)
      list.push_back({window.snapshot.id, window.snapshot.pid, window.snapshot.frame});
  }
  return list;
}

std::optional<platform::WindowServer::Window> SimWindowServer::windowWithID(std::uint32_t id) {
  std::lock_guard lock(world_.mutex);
  auto window = world_.windowNumbered(id);
  if (!window || window->snapshot.pid == world_.ownPID) return std::nullopt;
  return platform::WindowServer::Window{id, window->snapshot.pid, window->snapshot.frame};
}

std::vector<std::uint32_t> SimWindowServer::allWindowNumbers() {
  std::lock_guard lock(world_.mutex);
  std::vector<std::uint32_t> numbers;
  for (auto index : world_.zOrder())
    numbers.push_back(world_.windows[index].snapshot.id);
  return numbers;
}

}  // namespace kestles::sim
