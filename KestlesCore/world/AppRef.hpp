#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include <nlohmann/json_fwd.hpp>

namespace kestles {

/// A reference to an app by bundle identifier, with the name to show for it.
/// JSON: {"bundleID": string (required), "name": string (missing → the bundle id)}.
struct AppRef {
  std::string bundleID;
  std::string name;

  bool operator==(const AppRef&) const = default;
};

void to_json(nlohmann::json& json, const AppRef& app);
void from_json(const nlohmann::json& json, AppRef& app);

}  // namespace kestles

template <>
struct std::hash<kestles::AppRef> {
  std::size_t operator()(const kestles::AppRef& app) const noexcept {
    return std::hash<std::string>()(app.bundleID) * 31 ^ std::hash<std::string>()(app.name);
  }
};
