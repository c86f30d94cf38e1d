#include "KestlesCore/apply/FullScreen.hpp"

#include <algorithm>
#include <set>

namespace kestles {

bool FullScreen::Exit::isSettled(const World& world, double elapsedSeconds) const {
  if (!hasSwitched && elapsedSeconds < 1.5) return false;
  std::set<std::uint32_t> exiting(windows.begin(), windows.end());
  for (const auto& [displayID, window] : world.fullScreen)
    if (exiting.contains(window)) return false;
  return std::none_of(world.windows.begin(), world.windows.end(),
                      [&](const WindowSnapshot& window) {
                        return window.isFullScreen && exiting.contains(window.id);
                      });
}

}  // namespace kestles
