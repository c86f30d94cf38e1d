#include "KestlesCore/world/World.hpp"

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Lossy.hpp"

namespace kestles {
namespace {

/// The windows that decode, each without "zIndex" taking its position in the file's list.
std::vector<WindowSnapshot> decodedWindows(const nlohmann::json& json) {
  const auto* list = coding::member(json, "windows");
  if (!list || !list->is_array()) return {};
  auto numbered = *list;
  for (std::size_t index = 0; index < numbered.size(); ++index)
    if (auto& item = numbered[index]; item.is_object() && !item.contains("zIndex"))
      item["zIndex"] = index;
  return coding::lossyList<WindowSnapshot>(numbered);
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
  if (!world.elsewhere.empty()) json["elsewhere"] = world.elsewhere;
}

void from_json(const nlohmann::json& json, World& world) {
  coding::requireObject(json, "a world");
  World read;
  read.setup.displays = coding::lossyList<DisplayInfo>(json, "displays");
  read.activeDisplayID = coding::optional<std::string>(json, "activeDisplayID");
  read.windows = decodedWindows(json);
  read.apps = coding::lossyList<AppSnapshot>(json, "apps");
  for (auto& name : coding::lossyList<std::string>(json, "floating"))
    read.floating.insert(std::move(name));
  read.fullScreen = coding::lossyMap<std::uint32_t>(json, "fullScreen");
  for (auto id : coding::lossyList<std::uint32_t>(json, "elsewhere"))
    read.elsewhere.insert(id);
  world = std::move(read);
}

}  // namespace kestles
