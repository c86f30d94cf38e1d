#include "KestlesCore/tiling/TilingFrames.hpp"

#include <cmath>

namespace kestles {

const WindowSnapshot* windowWithID(const World& world, std::uint32_t id) {
  for (const auto& window : world.windows)
    if (window.id == id) return &window;
  return nullptr;
}

std::map<std::uint32_t, MinimumSize> knownMinimums(const World& world) {
  std::map<std::uint32_t, MinimumSize> minimums;
  for (const auto& window : world.windows)
    if (window.minimumSize.width > 0 || window.minimumSize.height > 0)
      minimums.emplace(window.id, window.minimumSize);
  return minimums;
}

bool differsByMoreThanHalfAPoint(const CGRect& a, const CGRect& b) {
  return std::fabs(a.minX() - b.minX()) > 0.5 || std::fabs(a.minY() - b.minY()) > 0.5 ||
         std::fabs(a.width() - b.width()) > 0.5 || std::fabs(a.height() - b.height()) > 0.5;
}

const Tiling* tilingHolding(const Tilings& tilings, std::uint32_t window) {
  for (const auto& [displayID, tiling] : tilings)
    if (tiling.contains(window)) return &tiling;
  return nullptr;
}

std::optional<DisplayInfo> displayOf(const Tiling& tiling, const World& world) {
  return world.setup.displayWithID(tiling.displayID);
}

LayoutSolution solved(const Tiling& tiling, const DisplayInfo& display, const Gaps& gaps,
                      const World& world) {
  return tiling.solve(display.visibleFrame, gaps, knownMinimums(world));
}

std::map<std::uint32_t, CGRect> framesToMove(const Tiling& tiling, const DisplayInfo& display,
                                             const Gaps& gaps, const World& world) {
  std::map<std::uint32_t, CGRect> moves;
  for (const auto& [id, frame] : tiling.frames(display.visibleFrame, gaps, knownMinimums(world)))
    if (const auto* window = windowWithID(world, id);
        window && differsByMoreThanHalfAPoint(window->frame, frame))
      moves.emplace(id, frame);
  return moves;
}

}  // namespace kestles
