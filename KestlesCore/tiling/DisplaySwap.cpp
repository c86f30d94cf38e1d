#include "KestlesCore/tiling/DisplaySwap.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <set>

#include "KestlesCore/snap/SnapAction.hpp"
#include "KestlesCore/tiling/DisplayWindows.hpp"

namespace kestles {
namespace {

// The snap places a window can be at, in the order they are matched, and their frames. They
// stand in for the snapper's place arithmetic until both live in one library.
constexpr std::array<SnapAction, 15> kPlaces{
    SnapAction::maximize,    SnapAction::almostMaximize, SnapAction::leftHalf,
    SnapAction::rightHalf,   SnapAction::topHalf,        SnapAction::bottomHalf,
    SnapAction::topLeft,     SnapAction::topRight,       SnapAction::bottomLeft,
    SnapAction::bottomRight, SnapAction::firstThird,     SnapAction::centerThird,
    SnapAction::lastThird,   SnapAction::firstTwoThirds, SnapAction::lastTwoThirds};

constexpr double kPlaceTolerance = 2;

CGRect placeFrame(SnapAction place, const CGRect& visible, const Gaps& gaps) {
  CGRect r = visible.insetBy(gaps.outer, gaps.outer);
  double g = gaps.inner;
  double halfW = (r.width() - g) * 0.5, halfH = (r.height() - g) * 0.5;
  bool landscape = r.width() >= r.height();
  double length = landscape ? r.width() : r.height();
  double third = (length - 2 * g) / 3, two = g + 2 * third;
  auto along = [&](double offset, double size) {
    return landscape ? CGRect(r.minX() + offset, r.minY(), size, r.height())
                     : CGRect(r.minX(), r.minY() + offset, r.width(), size);
  };
  double m = (1 - 0.9) / 2;
  switch (place) {
    case SnapAction::leftHalf:
      return CGRect(r.minX(), r.minY(), halfW, r.height()).rounded();
    case SnapAction::rightHalf:
      return CGRect(r.maxX() - halfW, r.minY(), halfW, r.height()).rounded();
    case SnapAction::topHalf:
      return CGRect(r.minX(), r.minY(), r.width(), halfH).rounded();
    case SnapAction::bottomHalf:
      return CGRect(r.minX(), r.maxY() - halfH, r.width(), halfH).rounded();
    case SnapAction::topLeft:
      return CGRect(r.minX(), r.minY(), halfW, halfH).rounded();
    case SnapAction::topRight:
      return CGRect(r.maxX() - halfW, r.minY(), halfW, halfH).rounded();
    case SnapAction::bottomLeft:
      return CGRect(r.minX(), r.maxY() - halfH, halfW, halfH).rounded();
    case SnapAction::bottomRight:
      return CGRect(r.maxX() - halfW, r.maxY() - halfH, halfW, halfH).rounded();
    case SnapAction::firstThird:
      return along(0, third).rounded();
    case SnapAction::centerThird:
      return along(g + third, third).rounded();
    case SnapAction::lastThird:
      return along(length - third, third).rounded();
    case SnapAction::firstTwoThirds:
      return along(0, two).rounded();
    case SnapAction::lastTwoThirds:
      return along(length - two, two).rounded();
    case SnapAction::almostMaximize:
      return r.insetBy(r.width() * m, r.height() * m).rounded();
    default:
      return r.rounded();
  }
}

bool edgesWithin(const CGRect& a, const CGRect& b, double tolerance) {
  return std::fabs(a.minX() - b.minX()) <= tolerance &&
         std::fabs(a.minY() - b.minY()) <= tolerance &&
         std::fabs(a.maxX() - b.maxX()) <= tolerance && std::fabs(a.maxY() - b.maxY()) <= tolerance;
}

CGRect scaled(const CGRect& frame, const CGRect& from, const CGRect& to) {
  if (from.width() <= 0 || from.height() <= 0) return frame;
  double sx = to.width() / from.width(), sy = to.height() / from.height();
  return CGRect(to.minX() + sx * (frame.minX() - from.minX()),
                to.minY() + sy * (frame.minY() - from.minY()),
                std::min(to.width(), sx * frame.width()),
                std::min(to.height(), sy * frame.height()))
      .rounded();
}

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
    CGRect frame =
        DisplaySwap::carried(window->frame, source.visibleFrame, target.visibleFrame, gaps);
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

CGRect DisplaySwap::carried(const CGRect& frame, const CGRect& from, const CGRect& to,
                            const Gaps& gaps) {
  for (auto place : kPlaces)
    if (edgesWithin(placeFrame(place, from, gaps), frame, kPlaceTolerance))
      return placeFrame(place, to, gaps);
  return scaled(frame, from, to);
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

  Plan plan{source.id, target.id, {}, {}, {}};
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
