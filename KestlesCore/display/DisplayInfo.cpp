#include "KestlesCore/display/DisplayInfo.hpp"

#include <nlohmann/json.hpp>

namespace kestles {

void to_json(nlohmann::json& json, const DisplayInfo& display) {
  json = nlohmann::json{{"id", display.id},
                        {"name", display.name},
                        {"frame", display.frame},
                        {"visibleFrame", display.visibleFrame},
                        {"isBuiltIn", display.isBuiltIn},
                        {"isMain", display.isMain}};
}

void from_json(const nlohmann::json& json, DisplayInfo& display) {
  DisplayInfo read;
  json.at("id").get_to(read.id);
  json.at("name").get_to(read.name);
  json.at("frame").get_to(read.frame);
  read.visibleFrame = json.value("visibleFrame", read.frame);
  read.isBuiltIn = json.value("isBuiltIn", false);
  read.isMain = json.value("isMain", false);
  display = std::move(read);
}

}  // namespace kestles
