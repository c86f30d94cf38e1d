#include "KestlesCore/tiling/TileChanges.hpp"

namespace kestles {
namespace {

struct Info {
  std::string_view raw;
  std::string_view title;
  std::string_view description;
  std::string_view symbol;
};

constexpr std::array<Info, 2> kInfo{{
    {"rearrange", "Arrange Them Again",
     "A new window takes a tile and the rest make room; when one closes, the rest close up.",
     "square.grid.2x2"},
    {"inPlace", "Split the Tile You’re In",
     "A new window splits the tile of the one you’re in; when one closes, its tile closes.",
     "rectangle.split.2x1"},
}};

const Info& info(TileChanges changes) {
  return kInfo[static_cast<std::size_t>(changes)];
}

}  // namespace

std::string_view rawValue(TileChanges changes) {
  return info(changes).raw;
}

std::optional<TileChanges> tileChangesFromRawValue(std::string_view raw) {
  for (auto changes : kAllTileChanges)
    if (rawValue(changes) == raw) return changes;
  return std::nullopt;
}

std::string_view title(TileChanges changes) {
  return info(changes).title;
}

std::string_view description(TileChanges changes) {
  return info(changes).description;
}

std::string_view symbolName(TileChanges changes) {
  return info(changes).symbol;
}

}  // namespace kestles
