#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/layout/Split.hpp"
#include "KestlesCore/layout/TileEdge.hpp"
#include "KestlesCore/model/UUID.hpp"

namespace kestles {

/// A node of a tile layout: a leaf (a tile or a spacer) or a container that lays its
/// children out along `split`, each taking a share proportional to its weight.
struct LayoutNode {
  UUID id;                           // nil by default; the factories draw fresh ones
  double weight = 1.0;               // share of the parent's length among siblings
  std::optional<Split> split;        // absent for a leaf
  std::vector<LayoutNode> children;  // empty for a leaf
  bool isSpacer = false;             // empty room that holds no window
  std::optional<int> rank;           // place in the tile order; absent: by position

  /// A leaf tile with a fresh id.
  static LayoutNode tile(double weight = 1.0, std::optional<int> rank = std::nullopt);
  /// A spacer leaf with a fresh id.
  static LayoutNode spacer(double weight = 1.0);
  /// A container of the children side by side, with a fresh id.
  static LayoutNode columns(std::vector<LayoutNode> children, double weight = 1.0);
  /// A container of the children stacked top to bottom, with a fresh id.
  static LayoutNode rows(std::vector<LayoutNode> children, double weight = 1.0);

  /// No split, or no children.
  bool isLeaf() const { return !split || children.empty(); }
  bool isTile() const { return isLeaf() && !isSpacer; }
  /// Has a split and children.
  bool isContainer() const { return !isLeaf(); }

  /// Every leaf, spacers included, depth-first with children in order.
  std::vector<LayoutNode> leaves() const;
  /// The tile ids: ranked tiles by ascending rank, then unranked ones by position.
  std::vector<UUID> tileOrder() const;
  /// The number of leaves that are not spacers.
  std::size_t tileCount() const;

  /// The node with the id, depth-first with the node itself first; null when absent.
  const LayoutNode* node(const UUID& id) const;
  LayoutNode* node(const UUID& id);
  /// The container holding the id as a direct child; nothing for the root or an unknown id.
  std::optional<UUID> parentID(const UUID& id) const;

  /// Applies the mutation to the node with the id; false when there is none.
  bool update(const UUID& id, const std::function<void(LayoutNode&)>& mutation);
  /// Swaps columns and rows on the node with the id; a leaf is left alone but found.
  bool toggleSplit(const UUID& id);
  /// Moves divider `after` (between children after and after + 1) of the container to the
  /// fraction, clamped to [0.05, 0.95], keeping the pair's combined weight. False when the
  /// container is unknown; an invalid divider changes nothing.
  bool setDivider(const UUID& containerID, int after, double fraction);
  /// Removes the node with the id, optionally adding its weight to a neighbour, and
  /// collapses containers left with one child. The root itself is never removed.
  bool remove(const UUID& id, bool givingRoomToNeighbour);

  /// Turns the leaf into a container along `along` of itself and a new tile after it.
  /// Returns the new tile's id; nothing for an unknown id or a container.
  std::optional<UUID> splitLeaf(const UUID& id, Split along);
  /// Adds a new tile beside the tile on the given edge, sharing the room the tile had.
  /// Returns the new tile's id; nothing for an unknown id, a spacer or a container.
  std::optional<UUID> insertTile(const UUID& beside, TileEdge toward);

  /// Every group of non-spacer siblings given their mean weight, at every depth.
  LayoutNode evened() const;
  /// Children reversed in every container along `axis`.
  LayoutNode mirrored(Split axis) const;
  /// Columns and rows swapped everywhere.
  LayoutNode transposed() const;
  /// Ranks cleared everywhere.
  LayoutNode unranked() const;

  bool operator==(const LayoutNode&) const = default;
};

/// The keyed object form; a plain tile is written as its "id" alone, and every key is
/// optional on reading (a missing id gets a fresh one).
void to_json(nlohmann::json& json, const LayoutNode& node);
void from_json(const nlohmann::json& json, LayoutNode& node);

}  // namespace kestles

/// Covers all six fields, the split by its raw value.
template <>
struct std::hash<kestles::LayoutNode> {
  std::size_t operator()(const kestles::LayoutNode& node) const noexcept;
};
