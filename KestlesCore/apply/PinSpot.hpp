#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/library/Kestle.hpp"

namespace kestles {

/// Where an app is pinned in a kestle arrangement: a display and a tile index.
struct PinSpot {
  std::string displayID;
  int tile = 0;

  /// Every spot where the app is pinned, screens in order, then tiles in order; empty
  /// when it is not pinned. The first is the app's spot in the kestle editor.
  static std::vector<PinSpot> spots(const Arrangement& arrangement, std::string_view bundleID);

  auto operator<=>(const PinSpot&) const = default;
};

/// Keys "displayID" and "tile", both required on reading.
void to_json(nlohmann::json& json, const PinSpot& spot);
void from_json(const nlohmann::json& json, PinSpot& spot);

}  // namespace kestles
