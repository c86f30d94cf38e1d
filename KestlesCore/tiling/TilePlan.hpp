#pragma once

#include <cstdint>
#include <map>

#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/tiling/TilingFrames.hpp"

namespace kestles {

/// What a rearrangement of tiles does (a swap, a rotation, a gaps change, make-main, float,
/// a display swap): the windows that move, each at its new frame, and the tilings of the
/// displays it changed, as they are afterwards. Each rearrangement's plan adds what only it
/// knows.
struct TilePlan {
  std::map<std::uint32_t, CGRect> frames;
  Tilings tilings;
  bool operator==(const TilePlan&) const = default;
};

}  // namespace kestles
