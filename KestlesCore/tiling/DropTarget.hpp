#pragma once

#include <optional>
#include <span>
#include <variant>

#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/layout/Gaps.hpp"
#include "KestlesCore/layout/TileEdge.hpp"

namespace kestles {

/// Where a dragged window would land among a display's tiles.
struct DropTarget {
  /// On tile `index`: trade places with its window.
  struct Tile {
    int index = 0;
    bool operator==(const Tile&) const = default;
  };
  /// At an edge of tile `index`: split it and take that side.
  struct Beside {
    int index = 0;
    TileEdge edge = TileEdge::left;
    bool operator==(const Beside&) const = default;
  };
  std::variant<Tile, Beside> value;

  static DropTarget tile(int index) { return {Tile{index}}; }
  static DropTarget beside(int index, TileEdge edge) { return {Beside{index, edge}}; }

  /// The tile the drop concerns.
  int tileIndex() const;

  /// The target of a point among tile frames: the smallest tile holding the point (edges
  /// included, so a point on a shared edge goes to the first of equal tiles), else the
  /// nearest; `beside` when the point lies within `edgeBand` (a fraction of the tile's
  /// width or height) of its nearest edge. Nothing without frames.
  static std::optional<DropTarget> target(CGPoint point, std::span<const CGRect> frames,
                                          double edgeBand);

  bool operator==(const DropTarget&) const = default;
};

}  // namespace kestles
