#include "KestlesCore/world/World.hpp"

#include <nlohmann/json.hpp>

namespace kestles {
namespace {

/// The items of a list that decode; anything else under the key gives nothing.
template <class T>
std::vector<T> decodedItems(const nlohmann::json& json, const char* key) {
  std::vector<T> items;
  auto list = json.find(key);
  if (list == json.end() || !list->is_array()) return items;
  for (const auto& item : *list) {
    try {
      items.push_back(item.get<T>());
    } catch (const nlohmann::json::exception&) {
      // A damaged item is left out; the rest of the world still reads.
    }
  }
  return items;
}

std::vector<WindowSnapshot> decodedWindows(const nlohmann::json& json) {
  std::vector<WindowSnapshot> windows;
  auto list = json.find("windows");
  if (list == json.end() || !list->is_array()) return windows;
  for (std::size_t index = 0; index < list->size(); ++index) {
    const auto& item = (*list)[index];
    try {
      auto window = item.get<WindowSnapshot>();
      if (!item.contains("zIndex")) window.zIndex = static_cast<std::int64_t>(index);
      windows.push_back(std::move(window));
    } catch (const nlohmann::json::exception&) {
    }
  }
  return windows;
}

}  // namespace

std::map<std::string, std::uint32_t> fullScreenWindows(const DisplaySetup& setup,
                                                       const std::vector<WindowSnapshot>& windows,
                                                       std::int64_t listedCount) {
  std::map<std::string, std::uint32_t> result;
  for (const auto& window : windows) {
    if (!window.isFullScreen || window.zIndex >= listedCount) continue;
    if (auto display = setup.display(window.frame)) result[display->id] = window.id;
  }
  return result;
}

void to_json(nlohmann::json& json, const World& world) {
  json = nlohmann::json{{"displays", world.setup.displays},
                        {"windows", world.windows},
                        {"apps", world.apps},
                        {"floating", world.floating},
                        {"fullScreen", world.fullScreen}};
  if (world.activeDisplayID) json["activeDisplayID"] = *world.activeDisplayID;
}

void from_json(const nlohmann::json& json, World& world) {
  if (!json.is_object())
    throw nlohmann::json::type_error::create(302, "a world is an object", &json);
  World read;
  read.setup.displays = decodedItems<DisplayInfo>(json, "displays");
  if (auto active = json.find("activeDisplayID"); active != json.end() && active->is_string())
    read.activeDisplayID = active->get<std::string>();
  read.windows = decodedWindows(json);
  read.apps = decodedItems<AppSnapshot>(json, "apps");
  for (const auto& name : decodedItems<std::string>(json, "floating"))
    read.floating.insert(name);
  if (auto full = json.find("fullScreen"); full != json.end() && full->is_object())
    for (const auto& [display, window] : full->items())
      if (window.is_number_unsigned()) read.fullScreen[display] = window.get<std::uint32_t>();
  world = std::move(read);
}

}  // namespace kestles
