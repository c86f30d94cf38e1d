#include "KestlesCore/world/WorldFile.hpp"

#include <set>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/JSONFile.hpp"
#include "KestlesCore/coding/Lossy.hpp"

namespace kestles {
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

}  // namespace

WorldFile WorldFile::decoded(const nlohmann::json& json) {
  WorldFile file;
  file.world = json.get<World>();
  settleIDs(file.world.windows);
  file.installedApps = coding::lossyList<AppRef>(json, "installedApps");
  if (auto focused = json.find("focusedWindow");
      focused != json.end() && focused->is_number_unsigned())
    file.focusedWindow = focused->get<std::uint32_t>();
  // The running app works the current display out from the focused window; a dry run on the
  // file must do the same, or it plans on another display than the app would.
  std::optional<CGRect> focusedFrame;
  for (const auto& window : file.world.windows)
    if (file.focusedWindow == window.id) focusedFrame = window.frame;
  auto active = file.world.setup.active(focusedFrame);
  file.world.activeDisplayID = active ? std::optional(active->id) : std::nullopt;
  return file;
}

WorldFile WorldFile::read(const std::filesystem::path& path) {
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
    return decoded(json_style::parse(bytes));
  } catch (const std::exception&) {
    // Not JSON, or JSON that is not an object.
    throw sentence("” isn’t a world in JSON.");
  }
}

nlohmann::json WorldFile::encoded() const {
  nlohmann::json json = world;
  json["installedApps"] = installedApps;
  if (focusedWindow) json["focusedWindow"] = *focusedWindow;
  return json;
}

}  // namespace kestles
