#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/tiling/DropTarget.hpp"
#include "KestlesCore/tiling/LiveTiles.hpp"
#include "KestlesCore/world/WindowID.hpp"
#include "KestlesCore/world/World.hpp"

namespace kestles {

/// A key on every tile of every tiled display, for sending the front window into a tile.
struct TileHints {
  /// One keyed tile.
  struct Hint {
    char key = '1';
    std::string displayID;
    int tile = 0;                 // index in the display's tiling
    CGRect frame;                 // the tile's frame
    std::optional<CGRect> split;  // where the window goes when the tile is split
    std::optional<WindowID> occupant;
    std::optional<std::string> bundleID;  // of the occupant
    std::optional<std::string> appName;   // of the occupant
    bool operator==(const Hint&) const = default;
  };

  /// What typing a tile's key does.
  struct Plan {
    WindowID window = 0;
    std::string displayID;
    DropTarget target;
    std::map<WindowID, CGRect> frames;  // every window that moves, to its new frame
    LiveTiles session;                  // after the move
    std::optional<WindowID> occupant;   // the window that traded places
    std::set<WindowID> joined;          // windows new to the tiles
    std::vector<CGRect> tiles;          // the display's tile frames after the move
    bool operator==(const Plan&) const = default;
  };

  /// The tile keys, digits first.
  static constexpr std::string_view keys = "1234567890ASDFGHJKLQWERTYUIOPZXCVBNM";

  /// Keys the tiles of the session's tilings, displays left to right (ties: top first),
  /// tiles in tile order, skipping the tile that holds `window`; tiles beyond the 36 keys get
  /// none.
  static std::vector<Hint> hints(WindowID window, const LiveTiles& session, const World& world);

  /// Moves the window into the hint's tile, trading places with its occupant; `splitting`
  /// splits an occupied tile instead (side by side when it is wider than tall, else one
  /// above the other) and the window takes the right or lower half. Nothing when the hint's
  /// display has no tiling.
  static std::optional<Plan> plan(const Hint& hint, bool splitting, WindowID window,
                                  const LiveTiles& session, const World& world);
};

}  // namespace kestles
