#include "KestlesCore/tiling/TileToggle.hpp"

#include <algorithm>
#include <cmath>

#include "KestlesCore/tiling/DropTarget.hpp"
#include "KestlesCore/tiling/RetilePlan.hpp"

namespace kestles {
namespace {

CGRect floatingFrame(const WindowSnapshot* window, const CGRect& visible) {
  CGSize size{std::round(visible.width() * TileToggle::kFloatingShare),
              std::round(visible.height() * TileToggle::kFloatingShare)};
  CGRect centred = landing(size, visible, visible);
  if (!window) return centred;
  return SizeLimits{window->minimumSize, window->maximumSize}.applied(centred, visible);
}

/// The side of a tile the window's centre lies on, across the tile's longer side.
TileEdge sideOf(const CGRect& tile, CGPoint centre) {
  if (tile.height() <= tile.width())
    return centre.x < tile.midX() ? TileEdge::left : TileEdge::right;
  return centre.y < tile.midY() ? TileEdge::top : TileEdge::bottom;
}

/// Puts the window into the tiling: the first empty tile, else a split of the tile below it.
void join(Tiling& tiling, std::uint32_t window, CGPoint centre, const std::vector<CGRect>& tiles) {
  if (auto empty = std::find(tiling.windows.begin(), tiling.windows.end(), std::nullopt);
      empty != tiling.windows.end()) {
    tiling.restore(window, static_cast<int>(empty - tiling.windows.begin()));
    return;
  }
  auto below = DropTarget::target(centre, tiles, 0);
  int tile = below ? below->tileIndex() : 0;
  if (auto added = tiling.insert(tile, sideOf(tiles[tile], centre))) tiling.restore(window, *added);
}

TileToggle::Plan planOf(bool joins, Tiling changed, const DisplayInfo& display, const Gaps& gaps,
                        const World& world) {
  TileToggle::Plan plan;
  plan.joins = joins;
  plan.displayID = changed.displayID;
  plan.frames = framesToMove(changed, display, gaps, world);
  plan.tiles = solved(changed, display, gaps, world).tileFrames;
  plan.tilings.emplace(changed.displayID, std::move(changed));
  return plan;
}

}  // namespace

std::optional<TileToggle::Plan> TileToggle::make(std::uint32_t front, const World& world,
                                                 const Tilings& tilings, const Gaps& gaps) {
  const Tiling* current = frontTiling(front, world, tilings);
  if (!current) return std::nullopt;
  auto display = displayOf(*current, world);
  if (!display) return std::nullopt;
  Tiling changed = *current;
  const WindowSnapshot* window = windowWithID(world, front);

  if (auto slot = changed.tileOf(front)) {
    if (changed.tileCount() > 1)
      changed.closeTile(*slot, true);
    else
      changed.remove(front);
    auto plan = planOf(false, std::move(changed), *display, gaps, world);
    CGRect floating = floatingFrame(window, display->visibleFrame);
    if (!window || differsByMoreThanHalfAPoint(window->frame, floating))
      plan.frames[front] = floating;
    return plan;
  }

  if (!window || changed.tileCount() == 0) return std::nullopt;
  join(changed, front, window->frame.center(), solved(changed, *display, gaps, world).tileFrames);
  if (!changed.contains(front)) return std::nullopt;
  return planOf(true, std::move(changed), *display, gaps, world);
}

}  // namespace kestles
