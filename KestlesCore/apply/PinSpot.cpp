#include "KestlesCore/apply/PinSpot.hpp"

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {

std::vector<PinSpot> PinSpot::spots(const Arrangement& arrangement, std::string_view bundleID) {
  std::vector<PinSpot> found;
  for (const auto& screen : arrangement.screens)
    for (std::size_t tile = 0; tile < screen.pins.size() && tile < screen.shape.tileCount(); ++tile)
      if (screen.pins[tile] && screen.pins[tile]->bundleID == bundleID)
        found.push_back({screen.display.displayID, static_cast<int>(tile)});
  return found;
}

void to_json(nlohmann::json& json, const PinSpot& spot) {
  json = {{"displayID", spot.displayID}, {"tile", spot.tile}};
}

void from_json(const nlohmann::json& json, PinSpot& spot) {
  coding::requireObject(json, "pin spot");
  spot.displayID = coding::required<std::string>(json, "displayID");
  spot.tile = coding::required<int>(json, "tile");
}

}  // namespace kestles
