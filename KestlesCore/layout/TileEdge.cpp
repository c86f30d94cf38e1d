#include "KestlesCore/layout/TileEdge.hpp"

#include "KestlesCore/text/Text.hpp"

namespace kestles {

std::string_view linkWord(TileEdge edge) {
  switch (edge) {
    case TileEdge::left:
      return "left";
    case TileEdge::right:
      return "right";
    case TileEdge::top:
      return "up";
    case TileEdge::bottom:
      return "down";
  }
  return "left";
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
