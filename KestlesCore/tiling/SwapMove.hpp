#pragma once

#include <cstdint>
#include <map>
#include <optional>

#include "KestlesCore/layout/TileEdge.hpp"
#include "KestlesCore/tiling/TilePlan.hpp"
#include "KestlesCore/tiling/TilingFrames.hpp"

namespace kestles {

/// Trading places with the window in the tile beside.
struct SwapMove {
  /// Both windows at their new tiles' frames; the display's tiling afterwards.
  struct Plan : TilePlan {
    std::uint32_t partner = 0;  // the window that traded places
    bool operator==(const Plan&) const = default;
  };

  /// The front window trades slots with the window of the neighbouring tile toward the edge
  /// (the neighbour rule over the display's tile frames). Nothing when the front window is
  /// not tiled, its display is not connected, there is no tile that way, or that tile is
  /// empty (a trade needs a partner).
  static std::optional<Plan> make(std::uint32_t front, TileEdge toward, const World& world,
                                  const Tilings& tilings, const Gaps& gaps);
};

}  // namespace kestles
