#include "KestlesCore/world/AppSnapshot.hpp"

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {

void to_json(nlohmann::json& json, const AppSnapshot& app) {
  json = nlohmann::json{
      {"pid", app.pid}, {"bundleID", app.bundleID}, {"name", app.name}, {"isHidden", app.isHidden}};
}

void from_json(const nlohmann::json& json, AppSnapshot& app) {
  AppSnapshot read;
  coding::requireObject(json, "an app");
  read.bundleID = coding::required<std::string>(json, "bundleID");
  read.pid = coding::nullable<std::int32_t>(json, "pid").value_or(0);
  read.name = coding::nullable<std::string>(json, "name").value_or(read.bundleID);
  read.isHidden = coding::nullable<bool>(json, "isHidden").value_or(false);
  app = std::move(read);
}

}  // namespace kestles
