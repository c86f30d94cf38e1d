#include "KestlesCore/tiling/DisplaySwap.hpp"

#include <algorithm>
#include <set>

#include "KestlesCore/snap/Snapper.hpp"
#include "KestlesCore/tiling/DisplayWindows.hpp"

namespace kestles {
namespace {

bool isPortrait(const DisplayInfo& display) {
  return display.frame.width() < display.frame.height();
}

bool hasArea(const CGRect& frame) {
  return frame.width() > 0 && frame.height() > 0;
}

/// The display the command starts from.
std::optional<DisplayInfo> startDisplay(std::optional<std::uint32_t> front, const World& world) {
  if (const WindowSnapshot* window = front ? windowWithID(world, *front) : nullptr)
    return world.setup.display(window->frame);
  if (world.activeDisplayID)
    if (auto active = world.setup.displayWithID(*world.activeDisplayID)) return active;
  return world.setup.fallback();
}

/// The tiling of `source` moved onto `target`, its shape turned when their orientations differ.
Tiling moved(Tiling tiling, const DisplayInfo& source, const DisplayInfo& target) {
  tiling.displayID = target.id;
  tiling.zoomed.reset();
  if (isPortrait(source) != isPortrait(target)) {
    tiling.shape = DisplaySwap::turned(tiling.shape);
    tiling.layout.reset();
  }
  tiling.windows.resize(tiling.shape.tileCount());
  return tiling;
}

void carryUntiled(DisplaySwap::Plan& plan, const std::vector<const WindowSnapshot*>& windows,
                  const Tilings& tilings, const DisplayInfo& source, const DisplayInfo& target,
                  const Gaps& gaps) {
  if (!hasArea(source.visibleFrame) || !hasArea(target.visibleFrame)) return;
  for (const auto* window : windows) {
    if (tilingHolding(tilings, window->id)) continue;
    CGRect frame = Snapper::carried(window->frame, source.visibleFrame, target.visibleFrame, gaps);
    if (differsByMoreThanHalfAPoint(window->frame, frame)) plan.frames[window->id] = frame;
  }
}

}  // namespace

TileShape DisplaySwap::turned(const TileShape& shape) {
  if (const LayoutNode* tree = shape.treeNode()) return TileShape::tree(tree->transposed());
  auto tiles = *shape.drawnTiles();
  for (auto& tile : tiles) {
    const CGRect& unit = tile.unit;
    tile.unit = CGRect(unit.origin.y, unit.origin.x, unit.size.height, unit.size.width);
  }
  return TileShape::drawn(std::move(tiles));
}

std::optional<DisplaySwap::Plan> DisplaySwap::make(int offset, std::optional<std::uint32_t> front,
                                                   const World& world, const Tilings& tilings,
                                                   const Gaps& gaps) {
  auto order = world.setup.ordered();
  auto start = startDisplay(front, world);
  if (!start || order.size() < 2) return std::nullopt;
  auto count = static_cast<long>(order.size());
  auto here = std::find(order.begin(), order.end(), *start) - order.begin();
  if (here == count) return std::nullopt;
  auto there = ((here + offset) % count + count) % count;
  if (there == here) return std::nullopt;
  const DisplayInfo& source = order[here];
  const DisplayInfo& target = order[there];

  Plan plan;
  plan.from = source.id;
  plan.to = target.id;
  for (const auto& [from, to] : {std::pair{&source, &target}, std::pair{&target, &source}}) {
    auto found = tilings.find(from->id);
    if (found == tilings.end()) continue;
    Tiling tiling = moved(found->second, *from, *to);
    plan.frames.merge(framesToMove(tiling, *to, gaps, world));
    plan.tiles[to->id] = solved(tiling, *to, gaps, world).tileFrames;
    plan.tilings.emplace(to->id, std::move(tiling));
  }
  auto visible = visibleWindowsByDisplay(world);
  for (const auto& [from, to] : {std::pair{&source, &target}, std::pair{&target, &source}})
    if (auto windows = visible.find(from->id); windows != visible.end())
      carryUntiled(plan, windows->second, tilings, *from, *to, gaps);
  if (plan.tilings.empty() && plan.frames.empty()) return std::nullopt;
  return plan;
}

}  // namespace kestles
