#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "KestlesCore/tiling/TilePlan.hpp"
#include "KestlesCore/tiling/TilingFrames.hpp"

namespace kestles {

/// Taking the front window out of its tile, or putting a floating one into a tile.
struct TileToggle {
  /// Windows that move by more than half a point; the display's tiling afterwards.
  struct Plan : TilePlan {
    bool joins = false;  // true: the window takes a tile; false: it leaves its tile
    std::string displayID;
    std::vector<CGRect> tiles;  // its tile frames afterwards
    bool operator==(const Plan&) const = default;
  };

  /// The float command's description.
  static constexpr std::string_view description =
      "A tiled window floats in the middle and the tiles beside it close up. A floating one "
      "takes a tile.";

  /// The share of the visible frame's width and height a floating window is given.
  static constexpr double kFloatingShare = 2.0 / 3;

  /// A tiled front window floats: its tile closes, giving its room to a neighbour (the last
  /// tile only empties), and the window gets two thirds of the visible frame's width and
  /// height, within its size limits, centred. A floating front window joins the tiling of
  /// the display it is on: the first empty tile, else the tile under its centre (or the
  /// nearest) is split along its longer side and the window takes the half its centre is
  /// in. Nothing when there is no tiling to join or the display is not connected.
  static std::optional<Plan> make(std::uint32_t front, const World& world, const Tilings& tilings,
                                  const Gaps& gaps);
};

}  // namespace kestles
