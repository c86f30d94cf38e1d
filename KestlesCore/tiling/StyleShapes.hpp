#pragma once

#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/layout/TileShape.hpp"
#include "KestlesCore/tiling/TilingStyle.hpp"

namespace kestles {

/// The most tiles a style lays out on a display of this size, never more than 9; windows
/// beyond it stay where they are.
int largestTileCount(TilingStyle style, CGSize display);

/// The shape a style gives `count` windows on a display of this size. Unless `keepingAll`,
/// the count is first raised to 1 and lowered to the style's largest count; with it, only
/// raised to 1. Small counts use built-in templates (with their fixed tile ids); a grid
/// that equals "three-by-two" or "three-by-three" becomes that template.
TileShape shapeForCount(int count, CGSize display, TilingStyle style, bool keepingAll = false);

}  // namespace kestles
