#include "KestlesEngine/ipc/IpcWindowServer.hpp"

#include <algorithm>

#include "KestlesEngine/ipc/IpcAccessibility.hpp"

namespace kestles::ipc {
namespace {

platform::WindowServer::Window entryOf(const IpcWindow& window) {
  return {window.id, pidOf(window), window.frame};
}

}  // namespace

std::vector<platform::WindowServer::Window> frontToBack(const IpcTree& tree) {
  std::vector<const IpcWindow*> shown;
  for (const auto& window : tree.windows)
    if (window.shown && !window.minimized) shown.push_back(&window);
  auto rank = [](const IpcWindow* window) {
    return window->focused ? 0 : window->fullScreen ? 1 : window->floating ? 2 : 3;
  };
  // Later floating windows are above earlier ones.
  std::reverse(shown.begin(), shown.end());
  std::stable_sort(shown.begin(), shown.end(),
                   [&](const IpcWindow* a, const IpcWindow* b) { return rank(a) < rank(b); });
  std::vector<platform::WindowServer::Window> windows;
  for (const auto* window : shown)
    windows.push_back(entryOf(*window));
  return windows;
}

std::optional<std::vector<platform::WindowServer::Window>> IpcWindowServer::onScreenWindows() {
  auto tree = session_.tree();
  if (!tree) return std::nullopt;
  return frontToBack(*tree);
}

std::optional<platform::WindowServer::Window> IpcWindowServer::windowWithID(std::uint32_t id) {
  auto tree = session_.tree();
  const auto* window = tree ? tree->find(id) : nullptr;
  if (!window) return std::nullopt;
  return entryOf(*window);
}

std::vector<std::uint32_t> IpcWindowServer::allWindowNumbers() {
  std::vector<std::uint32_t> numbers;
  if (auto tree = session_.tree())
    for (const auto& window : tree->windows)
      numbers.push_back(window.id);
  return numbers;
}

}  // namespace kestles::ipc
