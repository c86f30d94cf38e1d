#include "KestlesCore/apply/FullScreen.hpp"

#include <algorithm>
#include <set>
#include <string>

namespace kestles {

bool FullScreen::Exit::isSettled(const World& world, double elapsedSeconds) {
  if (!hasSwitched && elapsedSeconds < 1.5) return false;
  std::set<std::uint32_t> exiting(windows.begin(), windows.end());
  std::set<std::uint32_t> fullScreenIDs;
  for (const auto& [displayID, window] : world.fullScreen)
    fullScreenIDs.insert(window);

  std::set<std::string> displays;
  for (const auto& window : world.windows)
    if (exiting.count(window.id))
      if (auto display = world.setup.display(window.frame)) displays.insert(display->id);

  std::map<std::uint32_t, Seen> seen;
  bool stillFullScreen = false;
  for (const auto& window : world.windows) {
    bool isExiting = exiting.count(window.id) > 0;
    auto display = world.setup.display(window.frame);
    if (!isExiting && !(display && displays.count(display->id))) continue;
    bool isFullScreen = window.isFullScreen || fullScreenIDs.count(window.id) > 0;
    seen[window.id] = {isFullScreen, window.isMinimized, window.frame};
    stillFullScreen = stillFullScreen || (isExiting && isFullScreen);
  }
  bool agrees = !stillFullScreen && last && *last == seen;
  last = std::move(seen);
  return agrees;
}

}  // namespace kestles
