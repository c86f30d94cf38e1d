#include "KestlesCore/world/AppRef.hpp"

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {

void to_json(nlohmann::json& json, const AppRef& app) {
  json = {{"bundleID", app.bundleID}, {"name", app.name}};
}

void from_json(const nlohmann::json& json, AppRef& app) {
  coding::requireObject(json, "an app reference");
  app.bundleID = coding::required<std::string>(json, "bundleID");
  app.name = coding::value<std::string>(json, "name", app.bundleID);
}

}  // namespace kestles
