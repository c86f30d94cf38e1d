#pragma once

#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/library/KestleScreen.hpp"

namespace kestles {

/// A kestle's screens for one set of connected displays. JSON: {"screens": lossy list}.
struct Arrangement {
  std::vector<KestleScreen> screens;

  bool operator==(const Arrangement&) const = default;
};

void to_json(nlohmann::json& json, const Arrangement& arrangement);
void from_json(const nlohmann::json& json, Arrangement& arrangement);

}  // namespace kestles
