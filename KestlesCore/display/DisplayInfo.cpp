#include "KestlesCore/display/DisplayInfo.hpp"

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"

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
  coding::requireObject(json, "a display");
  read.id = coding::required<std::string>(json, "id");
  read.name = coding::required<std::string>(json, "name");
  read.frame = coding::required<CGRect>(json, "frame");
  read.visibleFrame = coding::nullable<CGRect>(json, "visibleFrame").value_or(read.frame);
  read.isBuiltIn = coding::nullable<bool>(json, "isBuiltIn").value_or(false);
  read.isMain = coding::nullable<bool>(json, "isMain").value_or(false);
  display = std::move(read);
}

}  // namespace kestles
