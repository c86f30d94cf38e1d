#pragma once

#include <map>
#include <optional>
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/library/Arrangement.hpp"
#include "KestlesCore/coding/Date.hpp"
#include "KestlesCore/library/Identity.hpp"
#include "KestlesCore/model/UUID.hpp"

namespace kestles {

/// A named set of apps and the tiles they sit in, one arrangement per display set.
/// Only "name" is required; a missing id is a new one and a missing date is now.
struct Kestle {
  UUID id = UUID::random();
  std::string name;
  Identity identity;
  std::optional<int> number;  // 1 to 9 gives the kestle a digit key
  bool opensApps = true;      // applying it launches apps that are not running
  std::map<std::string, Arrangement> arrangements;  // by display-set fingerprint
  Date created = Date::now();

  bool operator==(const Kestle&) const = default;
};

void to_json(nlohmann::json& json, const Kestle& kestle);
void from_json(const nlohmann::json& json, Kestle& kestle);

}  // namespace kestles
