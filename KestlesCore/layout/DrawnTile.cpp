#include "KestlesCore/layout/DrawnTile.hpp"

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"
#include "KestlesCore/model/Hashing.hpp"

namespace kestles {

DrawnTile DrawnTile::flipped(Split axis) const {
  DrawnTile copy = *this;
  if (axis == Split::columns)
    copy.unit.origin.x = 1 - unit.maxX();
  else
    copy.unit.origin.y = 1 - unit.maxY();
  copy.unit.size = {unit.width(), unit.height()};
  return copy;
}

void to_json(nlohmann::json& json, const DrawnTile& tile) {
  json = nlohmann::json{{"id", tile.id}, {"unit", tile.unit}};
}

void from_json(const nlohmann::json& json, DrawnTile& tile) {
  DrawnTile read;
  read.unit = coding::required<CGRect>(json, "unit");
  auto id = coding::nullable<UUID>(json, "id");
  read.id = id ? *id : UUID::random();
  tile = read;
}

}  // namespace kestles

std::size_t std::hash<kestles::DrawnTile>::operator()(
    const kestles::DrawnTile& tile) const noexcept {
  std::size_t seed = std::hash<kestles::UUID>{}(tile.id);
  for (double number :
       {tile.unit.origin.x, tile.unit.origin.y, tile.unit.size.width, tile.unit.size.height})
    kestles::hashCombine(seed, std::hash<double>{}(number));
  return seed;
}
