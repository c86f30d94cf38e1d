#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "KestlesCore/tiling/Retile.hpp"
#include "KestlesCore/tiling/TilePlan.hpp"
#include "KestlesCore/tiling/TilingFrames.hpp"

namespace kestles {

/// What a rearrangement does: only windows that move by more than half a point, the changed
/// display's tiling, and the tiles after it.
struct Retile::Plan : TilePlan {
  std::vector<CGRect> tiles;  // that display's tile frames after the change

  /// The rearrangement of the front window's display: the tiling that holds the front
  /// window, else the tiling of the display its frame is on, else (without a front window)
  /// the tiling of the active display. Nothing when there is no such tiling, its display is
  /// not connected, or the rearrangement changes nothing.
  static std::optional<Plan> make(const Retile& retile, std::optional<std::uint32_t> front,
                                  const World& world, const Tilings& tilings, const Gaps& gaps);

  bool operator==(const Plan&) const = default;
};

/// The tiling a command about the front window works on (see `Retile::Plan::make`), or null.
const Tiling* frontTiling(std::optional<std::uint32_t> front, const World& world,
                          const Tilings& tilings);

}  // namespace kestles
