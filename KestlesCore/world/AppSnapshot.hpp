#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json_fwd.hpp>

namespace kestles {

/// One running app as a snapshot saw it.
struct AppSnapshot {
  std::int32_t pid = 0;
  std::string bundleID;
  std::string name;
  bool isHidden = false;

  bool operator==(const AppSnapshot&) const = default;
};

/// Keys "pid", "bundleID", "name", "isHidden". Reading requires "bundleID"; a missing pid
/// is 0, a missing name the bundle identifier, a missing hidden flag false.
void to_json(nlohmann::json& json, const AppSnapshot& app);
void from_json(const nlohmann::json& json, AppSnapshot& app);

}  // namespace kestles
