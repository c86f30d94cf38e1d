#include "KestlesEngine/sim/SimDesktop.hpp"

#include <algorithm>

namespace kestles::sim {
namespace {

double limited(double size, double minimum, double maximum) {
  if (maximum > 0) size = std::min(size, maximum);
  return std::max(size, minimum);
}

}  // namespace

SimDesktop::SimDesktop(WorldFile file) : file_(std::move(file)) {}

std::vector<DisplayInfo> SimDesktop::displays() {
  return file_.world.setup.displays;
}

std::vector<AppSnapshot> SimDesktop::runningApps() {
  return file_.world.apps;
}

std::vector<AppRef> SimDesktop::installedApps() {
  return platform::withRunningApps(file_.installedApps, file_.world.apps);
}

platform::WindowList SimDesktop::windows() {
  return {file_.world.windows, file_.world.apps, file_.focusedWindow,
          static_cast<std::int64_t>(file_.world.windows.size())};
}

WindowSnapshot* SimDesktop::find(std::uint32_t window) {
  auto& windows = file_.world.windows;
  auto found = std::find_if(windows.begin(), windows.end(),
                            [&](const WindowSnapshot& w) { return w.id == window; });
  return found == windows.end() ? nullptr : &*found;
}

std::vector<std::optional<CGRect>> SimDesktop::place(std::span<const platform::WindowMove> moves) {
  std::vector<std::optional<CGRect>> landed;
  for (const auto& move : moves) {
    auto* window = find(move.window);
    if (window == nullptr) {
      landed.emplace_back();
      continue;
    }
    auto frame = move.frame.standardized();
    if (!window->isResizable) frame.size = window->frame.size;
    frame.size.width =
        limited(frame.size.width, window->minimumSize.width, window->maximumSize.width);
    frame.size.height =
        limited(frame.size.height, window->minimumSize.height, window->maximumSize.height);
    window->frame = frame;
    landed.emplace_back(frame);
  }
  return landed;
}

bool SimDesktop::setMinimized(std::uint32_t window, bool minimized) {
  auto* found = find(window);
  if (found == nullptr) return false;
  found->isMinimized = minimized;
  return true;
}

bool SimDesktop::raise(std::uint32_t window) {
  auto* found = find(window);
  if (found == nullptr) return false;
  auto old = found->zIndex;
  for (auto& other : file_.world.windows)
    if (other.zIndex < old) ++other.zIndex;
  found->zIndex = 0;
  return true;
}

bool SimDesktop::focus(std::uint32_t window) {
  if (!setMinimized(window, false) || !raise(window)) return false;
  file_.focusedWindow = window;
  return true;
}

bool SimDesktop::setFullScreen(std::uint32_t window, bool fullScreen) {
  auto* found = find(window);
  if (found == nullptr) return false;
  found->isFullScreen = fullScreen;
  return true;
}

}  // namespace kestles::sim
