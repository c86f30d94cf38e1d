#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/tiling/TilePlan.hpp"
#include "KestlesCore/tiling/TilingFrames.hpp"

namespace kestles {

/// The trade a make-main made, kept so that pressing again trades back. Declared outside
/// `MainTile` (and named `MainTile::Pair` there) so that it is complete before the plan holds
/// one: JSON decoding needs it default constructible.
struct MainTilePair {
  std::string displayID;
  std::uint32_t main = 0;                             // went into the biggest tile
  std::uint32_t partner = 0;                          // came out of it
  std::vector<std::optional<std::uint32_t>> windows;  // the display's slots before
  bool operator==(const MainTilePair&) const = default;
};

/// Putting the front window into the biggest tile, and trading back.
struct MainTile {
  using Pair = MainTilePair;

  /// Windows that move by more than half a point; the display's tiling afterwards.
  struct Plan : TilePlan {
    std::optional<std::uint32_t> partner;  // the window that traded places
    std::optional<Pair> pair;  // the trade to undo on the next press; none after a trade back
    bool operator==(const Plan&) const = default;
  };

  /// The command's description.
  static constexpr std::string_view description =
      "Into the biggest tile, trading places with the window there. Press again to trade back.";

  /// The slot of the biggest tile by share of the display: of tiles within a thousandth of
  /// the largest share, the first in tile order (styles put their main tile first).
  static std::optional<int> biggestTile(const LayoutSolution& solution, const CGRect& visible);

  /// The make-main plan for the front window's tiling. When `last` was made on this display,
  /// names the front window as its main, and the slots are still exactly as that trade left
  /// them, the slots recorded in it come back (a trade back, with no new pair). Otherwise the
  /// front window trades slots with the biggest tile's window (an empty biggest tile is
  /// simply taken; a pair is only kept when a window came out). Nothing when the front window
  /// is not tiled, its display is not connected, or it already sits in the biggest tile.
  static std::optional<Plan> make(std::uint32_t front, const World& world, const Tilings& tilings,
                                  const Gaps& gaps, const std::optional<Pair>& last);
};

/// Keys "displayID", "main", "partner", "windows" (numbers or null).
void to_json(nlohmann::json& json, const MainTile::Pair& pair);
void from_json(const nlohmann::json& json, MainTile::Pair& pair);

}  // namespace kestles
