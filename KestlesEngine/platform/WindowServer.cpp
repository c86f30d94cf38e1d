#include "KestlesEngine/platform/WindowServer.hpp"

namespace kestles::platform {

std::optional<WindowServer::Window> windowAt(std::span<const WindowServer::Window> list,
                                             CGPoint point, std::int32_t ownPID) {
  for (const auto& window : list)
    if (window.pid != ownPID && window.frame.contains(point)) return window;
  return std::nullopt;
}

}  // namespace kestles::platform
