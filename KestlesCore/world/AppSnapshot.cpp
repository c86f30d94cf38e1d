#include "KestlesCore/world/AppSnapshot.hpp"

#include <nlohmann/json.hpp>

namespace kestles {

void to_json(nlohmann::json& json, const AppSnapshot& app) {
  json = nlohmann::json{
      {"pid", app.pid}, {"bundleID", app.bundleID}, {"name", app.name}, {"isHidden", app.isHidden}};
}

void from_json(const nlohmann::json& json, AppSnapshot& app) {
  AppSnapshot read;
  json.at("bundleID").get_to(read.bundleID);
  read.pid = json.value("pid", std::int32_t{0});
  read.name = json.value("name", read.bundleID);
  read.isHidden = json.value("isHidden", false);
  app = std::move(read);
}

}  // namespace kestles
