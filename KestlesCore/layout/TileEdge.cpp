#include "KestlesCore/layout/TileEdge.hpp"

#include "KestlesCore/model/EnumTable.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

struct EdgeWords {
  TileEdge value;
  std::string_view raw;
  std::string_view linkWord;
};

constexpr EnumTable kEdges{std::to_array<EdgeWords>({
    {TileEdge::left, "left", "left"},
    {TileEdge::right, "right", "right"},
    {TileEdge::top, "top", "up"},
    {TileEdge::bottom, "bottom", "down"},
})};

}  // namespace

std::span<const TileEdge> allTileEdges() {
  return kEdges.cases();
}

std::string_view rawValue(TileEdge edge) {
  return kEdges[edge].raw;
}

std::string_view linkWord(TileEdge edge) {
  return kEdges[edge].linkWord;
}

std::optional<TileEdge> tileEdgeFromRawValue(std::string_view raw) {
  return kEdges.find(&EdgeWords::raw, raw);
}

std::optional<TileEdge> readTileEdge(std::string_view text) {
  auto word = text::asciiLowercased(text);
  if (auto edge = kEdges.find(&EdgeWords::linkWord, word)) return edge;
  return kEdges.find(&EdgeWords::raw, word);
}

}  // namespace kestles
