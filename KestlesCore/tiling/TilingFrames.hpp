#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "KestlesCore/display/DisplayInfo.hpp"
#include "KestlesCore/layout/Gaps.hpp"
#include "KestlesCore/tiling/Tiling.hpp"
#include "KestlesCore/world/World.hpp"

namespace kestles {

/// The tilings of the displays, by display id.
using Tilings = std::map<std::string, Tiling>;

/// The world's window with the id, or null.
const WindowSnapshot* windowWithID(const World& world, std::uint32_t id);

/// The minimum sizes the world knows, by window.
std::map<std::uint32_t, MinimumSize> knownMinimums(const World& world);

/// Whether two frames differ by more than half a point in x, y, width or height.
bool differsByMoreThanHalfAPoint(const CGRect& a, const CGRect& b);

/// The tiling that holds the window, or null.
const Tiling* tilingHolding(const Tilings& tilings, std::uint32_t window);

/// The display a tiling belongs to, when it is connected.
std::optional<DisplayInfo> displayOf(const Tiling& tiling, const World& world);

/// The tile frames of a tiling on its display, with the world's minimum sizes.
LayoutSolution solved(const Tiling& tiling, const DisplayInfo& display, const Gaps& gaps,
                      const World& world);

/// The frames that the tiling's windows present in the world are to get, leaving out those
/// that already stand there within half a point.
std::map<std::uint32_t, CGRect> framesToMove(const Tiling& tiling, const DisplayInfo& display,
                                             const Gaps& gaps, const World& world);

}  // namespace kestles
