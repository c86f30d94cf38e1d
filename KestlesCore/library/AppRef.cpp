#include "KestlesCore/library/AppRef.hpp"

#include <nlohmann/json.hpp>

namespace kestles {

void to_json(nlohmann::json& json, const AppRef& app) {
  json = nlohmann::json{{"bundleID", app.bundleID}, {"name", app.name}};
}

void from_json(const nlohmann::json& json, AppRef& app) {
  AppRef read;
  json.at("bundleID").get_to(read.bundleID);
  auto name = json.find("name");
  read.name = name != json.end() && name->is_string() ? name->get<std::string>() : read.bundleID;
  app = std::move(read);
}

}  // namespace kestles

std::size_t std::hash<kestles::AppRef>::operator()(const kestles::AppRef& app) const noexcept {
  auto first = std::hash<std::string>{}(app.bundleID);
  return first ^
         (std::hash<std::string>{}(app.name) + 0x9e3779b97f4a7c15ULL + (first << 6) + (first >> 2));
}
