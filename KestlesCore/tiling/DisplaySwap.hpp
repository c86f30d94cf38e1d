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

/// Trading everything on the front window's display with its neighbour's: tilings move with
/// their windows (turning between portrait and landscape), untiled windows keep their snap
/// place or their relative place and size.
struct DisplaySwap {
  /// Windows that move by more than half a point; the two displays' tilings after the
  /// swap (a display missing has none).
  struct Plan : TilePlan {
    std::string from;                                  // the front window's display
    std::string to;                                    // the display it trades with
    std::map<std::string, std::vector<CGRect>> tiles;  // their tile frames after the swap
    bool operator==(const Plan&) const = default;
  };

  /// The swap-displays command's description.
  static constexpr std::string_view description =
      "Everything on the display trades places with the next display’s, tiles and all. On a "
      "portrait display, the tiles turn to fit.";

  /// The swap of the front window's display (the display showing most of it; without a front
  /// window in the world, the active display, else the setup's fallback) with the display
  /// `offset` steps on in the display order (built-in first, then left to right), wrapping
  /// around at either end. Only windows on the two displays move; windows a user cannot see
  /// (minimized, full screen, of a hidden app) stay, and a zoomed window goes back into its
  /// tile. Nothing with a single display, when the step comes back to the same display, or
  /// when neither display has a tiling or a window to carry.
  static std::optional<Plan> make(int offset, std::optional<std::uint32_t> front,
                                  const World& world, const Tilings& tilings, const Gaps& gaps);

  /// The shape turned for the other orientation: a tree transposed, each drawn tile's unit
  /// rectangle mirrored across the diagonal.
  static TileShape turned(const TileShape& shape);
};

}  // namespace kestles
