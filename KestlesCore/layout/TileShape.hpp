#pragma once

#include <cstddef>
#include <variant>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/layout/DrawnTile.hpp"
#include "KestlesCore/layout/LayoutNode.hpp"

namespace kestles {

/// The tiles of a display: a split tree, or freely drawn tiles.
struct TileShape {
  struct Tree {
    LayoutNode node;
    bool operator==(const Tree&) const = default;
  };
  struct Drawn {
    std::vector<DrawnTile> tiles;
    bool operator==(const Drawn&) const = default;
  };
  std::variant<Tree, Drawn> value;

  static TileShape tree(LayoutNode node) { return {Tree{std::move(node)}}; }
  static TileShape drawn(std::vector<DrawnTile> tiles) { return {Drawn{std::move(tiles)}}; }

  /// The tree, or null for drawn tiles.
  const LayoutNode* treeNode() const;
  /// The drawn tiles, or null for a tree.
  const std::vector<DrawnTile>* drawnTiles() const;

  /// The tree's tile order, or the drawn tiles' ids in order.
  std::vector<UUID> tileIDs() const;
  std::size_t tileCount() const;
  /// Mirrored along the axis: a tree through `mirrored`, drawn tiles through `flipped`.
  TileShape flipped(Split axis) const;

  bool operator==(const TileShape&) const = default;
};

/// {"kind": "tree", "tree": node} or {"kind": "drawn", "tiles": [...]}; on reading,
/// anything but "kind": "drawn" is read as a tree.
void to_json(nlohmann::json& json, const TileShape& shape);
void from_json(const nlohmann::json& json, TileShape& shape);

}  // namespace kestles

/// The case and its tree or drawn tiles, consistent with `==`, so that records holding a
/// shape (tilings, layouts) can be hashed.
template <>
struct std::hash<kestles::TileShape> {
  std::size_t operator()(const kestles::TileShape& shape) const noexcept;
};
