#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "KestlesCore/layout/Split.hpp"

namespace kestles {

/// A side of a tile, and the way towards the neighbour on that side.
enum class TileEdge { left, right, top, bottom };

/// Every edge, in case order.
std::span<const TileEdge> allTileEdges();

/// The word of an edge in command links: "left", "right", "up", "down".
std::string_view linkWord(TileEdge edge);

/// The raw value stored in files: "left", "right", "top", "bottom".
std::string_view rawValue(TileEdge edge);

/// The edge of a raw value, or nothing.
std::optional<TileEdge> tileEdgeFromRawValue(std::string_view raw);

/// The axis an edge lies across: columns for left and right, rows for top and bottom.
inline Split axis(TileEdge edge) {
  return edge == TileEdge::left || edge == TileEdge::right ? Split::columns : Split::rows;
}

/// Whether the edge faces the end of a split (right, bottom) rather than its start.
inline bool isAfter(TileEdge edge) {
  return edge == TileEdge::right || edge == TileEdge::bottom;
}

/// The edge rule: lower-cased "left", "right", "up"/"top", "down"/"bottom"; else nothing.
std::optional<TileEdge> readTileEdge(std::string_view text);

}  // namespace kestles
