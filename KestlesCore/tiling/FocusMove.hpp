#pragma once

#include <cstdint>
#include <optional>

#include "KestlesCore/layout/TileEdge.hpp"
#include "KestlesCore/world/World.hpp"

namespace kestles {

/// Focusing the window beside the front one.
struct FocusMove {
  /// The window beside the front window toward the edge, by the neighbour rule over the
  /// frames of every window that can be seen: on any display, tiled or not, leaving out
  /// minimized windows, windows of hidden apps and other full-screen windows. At a display's
  /// edge the search simply goes on to the display beyond; past the last one there is
  /// nothing (no wrapping). Nothing when the front window is not in the world.
  static std::optional<std::uint32_t> target(std::uint32_t front, TileEdge toward,
                                             const World& world);
};

}  // namespace kestles
