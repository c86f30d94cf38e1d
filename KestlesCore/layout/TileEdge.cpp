#include "KestlesCore/layout/TileEdge.hpp"

#include "KestlesCore/text/Text.hpp"

namespace kestles {

std::string_view rawValue(TileEdge edge) {
  switch (edge) {
    case TileEdge::left:
      return "left";
    case TileEdge::right:
      return "right";
    case TileEdge::top:
      return "top";
    case TileEdge::bottom:
      return "bottom";
  }
  return "left";
}

std::string_view linkWord(TileEdge edge) {
  if (edge == TileEdge::top) return "up";
  if (edge == TileEdge::bottom) return "down";
  return rawValue(edge);
}

std::optional<TileEdge> tileEdgeFromRawValue(std::string_view raw) {
  for (auto edge : kAllTileEdges)
    if (rawValue(edge) == raw) return edge;
  return std::nullopt;
}

std::optional<TileEdge> readTileEdge(std::string_view text) {
  auto word = text::asciiLowercased(text);
  if (word == "left") return TileEdge::left;
  if (word == "right") return TileEdge::right;
  if (word == "up" || word == "top") return TileEdge::top;
  if (word == "down" || word == "bottom") return TileEdge::bottom;
  return std::nullopt;
}

}  // namespace kestles
