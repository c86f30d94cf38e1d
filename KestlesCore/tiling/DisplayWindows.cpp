#include "KestlesCore/tiling/DisplayWindows.hpp"

#include <set>

namespace kestles {

std::map<std::string, std::vector<const WindowSnapshot*>> visibleWindowsByDisplay(
    const World& world) {
  std::set<std::int32_t> hidden;
  for (const auto& app : world.apps)
    if (app.isHidden) hidden.insert(app.pid);
  std::map<std::string, std::vector<const WindowSnapshot*>> byDisplay;
  for (const auto& window : world.windows) {
    if (window.isMinimized || window.isFullScreen || hidden.contains(window.pid)) continue;
    if (auto display = world.setup.display(window.frame)) byDisplay[display->id].push_back(&window);
  }
  return byDisplay;
}

}  // namespace kestles
