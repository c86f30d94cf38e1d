#include "KestlesCore/layout/TileShape.hpp"

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"
#include "KestlesCore/model/Hashing.hpp"

namespace kestles {

const LayoutNode* TileShape::treeNode() const {
  auto* tree = std::get_if<Tree>(&value);
  return tree ? &tree->node : nullptr;
}

const std::vector<DrawnTile>* TileShape::drawnTiles() const {
  auto* drawn = std::get_if<Drawn>(&value);
  return drawn ? &drawn->tiles : nullptr;
}

std::vector<UUID> TileShape::tileIDs() const {
  if (auto* node = treeNode()) return node->tileOrder();
  std::vector<UUID> ids;
  for (const auto& tile : *drawnTiles())
    ids.push_back(tile.id);
  return ids;
}

std::size_t TileShape::tileCount() const {
  if (auto* node = treeNode()) return node->tileCount();
  return drawnTiles()->size();
}

TileShape TileShape::flipped(Split axis) const {
  if (auto* node = treeNode()) return tree(node->mirrored(axis));
  std::vector<DrawnTile> tiles;
  for (const auto& tile : *drawnTiles())
    tiles.push_back(tile.flipped(axis));
  return drawn(std::move(tiles));
}

void to_json(nlohmann::json& json, const TileShape& shape) {
  if (auto* node = shape.treeNode())
    json = nlohmann::json{{"kind", "tree"}, {"tree", *node}};
  else
    json = nlohmann::json{{"kind", "drawn"}, {"tiles", *shape.drawnTiles()}};
}

void from_json(const nlohmann::json& json, TileShape& shape) {
  auto kind = json.find("kind");
  bool isDrawn = kind != json.end() && kind->is_string() && *kind == "drawn";
  if (isDrawn)
    shape = TileShape::drawn(coding::required<std::vector<DrawnTile>>(json, "tiles"));
  else
    shape = TileShape::tree(coding::required<LayoutNode>(json, "tree"));
}

}  // namespace kestles

std::size_t std::hash<kestles::TileShape>::operator()(
    const kestles::TileShape& shape) const noexcept {
  std::size_t seed = shape.value.index();
  if (const auto* node = shape.treeNode()) {
    kestles::hashCombine(seed, std::hash<kestles::LayoutNode>{}(*node));
    return seed;
  }
  for (const auto& tile : *shape.drawnTiles())
    kestles::hashCombine(seed, std::hash<kestles::DrawnTile>{}(tile));
  return seed;
}
