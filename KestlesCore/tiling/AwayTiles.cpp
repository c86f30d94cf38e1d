#include "KestlesCore/tiling/AwayTiles.hpp"

#include "KestlesCore/coding/Lossy.hpp"

namespace kestles {

void AwayTiles::keep(Tiling tiling) {
  auto displayID = tiling.displayID;
  tilings.insert_or_assign(std::move(displayID), std::move(tiling));
}

std::optional<Tiling> AwayTiles::take(const std::string& displayID) {
  auto found = tilings.find(displayID);
  if (found == tilings.end()) return std::nullopt;
  Tiling tiling = std::move(found->second);
  tilings.erase(found);
  return tiling;
}

void to_json(nlohmann::json& json, const AwayTiles& away) {
  json = {{"tilings", away.tilings}};
}

void from_json(const nlohmann::json& json, AwayTiles& away) {
  coding::requireObject(json, "away tiles");
  away.tilings = coding::lossyMap<Tiling>(json, "tilings");
  for (auto& [displayID, tiling] : away.tilings)
    tiling.displayID = displayID;
}

}  // namespace kestles
