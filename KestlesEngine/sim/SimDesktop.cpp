#include "KestlesEngine/sim/SimDesktop.hpp"

#include <algorithm>
#include <set>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/JSONFile.hpp"

namespace kestles::sim {
namespace {

/// Gives every window without an id (0) the next unused synthetic id.
void settleIDs(std::vector<WindowSnapshot>& windows) {
  std::set<std::uint32_t> used;
  for (const auto& window : windows)
    used.insert(window.id);
  auto next = kFirstSyntheticID;
  for (auto& window : windows) {
    if (window.id != 0) continue;
    while (used.contains(next))
      ++next;
    window.id = next;
    used.insert(next);
  }
}

double limited(double size, double minimum, double maximum) {
  if (maximum > 0) size = std::min(size, maximum);
  return std::max(size, minimum);
}

}  // namespace

WorldFile decodeWorldFile(const nlohmann::json& json) {
  WorldFile file;
  file.world = json.get<World>();
  settleIDs(file.world.windows);
  if (auto apps = json.find("installedApps"); apps != json.end() && apps->is_array())
    for (const auto& item : *apps) {
      try {
        file.installedApps.push_back(item.get<AppRef>());
      } catch (const std::exception&) {
      }
    }
  if (auto focused = json.find("focusedWindow");
      focused != json.end() && focused->is_number_unsigned())
    file.focusedWindow = focused->get<std::uint32_t>();
  return file;
}

WorldFile readWorldFile(const std::filesystem::path& path) {
  auto sentence = [&](const char* ending) {
    std::string text = "The world file “";
    text.append(path.string()).append(ending);
    return std::runtime_error(text);
  };
  std::string bytes;
  try {
    // The shared reader refuses a FIFO, a device or an oversized file instead of hanging.
    bytes = json_style::readFile(path);
  } catch (const std::exception&) {
    throw sentence("” can’t be opened.");
  }
  try {
    return decodeWorldFile(json_style::parse(bytes));
  } catch (const std::exception&) {
    // Not JSON, or JSON whose required fields are missing or of the wrong type.
    throw sentence("” isn’t a world in JSON.");
  }
}

nlohmann::json encodeWorldFile(const WorldFile& file) {
  nlohmann::json json = file.world;
  json["installedApps"] = file.installedApps;
  if (file.focusedWindow) json["focusedWindow"] = *file.focusedWindow;
  return json;
}

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
