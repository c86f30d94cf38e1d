#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/tiling/DropTarget.hpp"
#include "KestlesCore/tiling/LiveTiles.hpp"
#include "KestlesCore/world/WindowID.hpp"

namespace kestles {

/// A window dragged over the tiles of the offered displays.
///
/// Over a tile's middle the window trades places with the tile's window (or takes the empty
/// tile); within `splitBand` of a tile's edge it splits the tile and takes that side. While
/// the pointer rests on a trade the trade is shown live in `session`; `unswapped` keeps the
/// tilings from before it, so moving on puts the other window back first.
struct TileDrag {
  /// Where a drop at the pointer would put the window.
  struct Landing {
    std::string displayID;
    DropTarget target;
    CGRect frame;                      // the window's frame after the drop
    std::optional<WindowID> occupant;  // the window that trades places, if any
    bool operator==(const Landing&) const = default;
  };

  /// The share of a tile's width or height, from each edge, that splits instead of trading.
  static constexpr double splitBand = 0.25;

  WindowID window = 0;
  LiveTiles session;
  std::set<std::string> offered;                           // displays whose tiles are offered
  std::map<std::string, std::optional<Tiling>> unswapped;  // before a live trade

  /// The landing at the point: over an offered display with a tiling, and not on the
  /// window's own tile (a drop there changes nothing). Read against the tilings from before
  /// any live trade.
  std::optional<Landing> landing(CGPoint point) const;
  /// The tilings after the window landed. A split of a tile on the window's own display
  /// closes the tile the window left, giving its room to a neighbour; leaving another
  /// display's tiling empties the tile there. An occupant trading with a window from another
  /// tiling takes that tile; with a free window it leaves the tiles (the engine moves it to
  /// the dragged window's starting frame).
  Tilings dropped(const Landing& landing) const;
  /// Follows the pointer: undoes a live trade the pointer left, and shows the trade it rests
  /// on in `session`. Returns the landing.
  std::optional<Landing> hover(CGPoint point);
  /// The tilings from before any live trade.
  Tilings settled() const;
};

}  // namespace kestles
