#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include <nlohmann/json_fwd.hpp>

namespace kestles {

/// A reference to an app by its bundle identifier, with the name to show for it.
struct AppRef {
  std::string bundleID;
  std::string name;

  bool operator==(const AppRef&) const = default;
};

/// Keys "bundleID" (required: reading throws without a string) and "name" (missing or
/// unreadable: the bundle identifier).
void to_json(nlohmann::json& json, const AppRef& app);
void from_json(const nlohmann::json& json, AppRef& app);

}  // namespace kestles

template <>
struct std::hash<kestles::AppRef> {
  std::size_t operator()(const kestles::AppRef& app) const noexcept;
};
