#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace kestles {

/// A side of a tile, and the way towards the neighbour on that side.
enum class TileEdge { left, right, top, bottom };

inline constexpr std::array<TileEdge, 4> kAllTileEdges{TileEdge::left, TileEdge::right,
                                                       TileEdge::top, TileEdge::bottom};

/// The word of an edge in command links: "left", "right", "up", "down".
std::string_view linkWord(TileEdge edge);

/// The edge rule: lower-cased "left", "right", "up"/"top", "down"/"bottom"; else nothing.
std::optional<TileEdge> readTileEdge(std::string_view text);

}  // namespace kestles
