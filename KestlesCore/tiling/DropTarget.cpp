#include "KestlesCore/tiling/DropTarget.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace kestles {
namespace {

/// Containment with every edge included: a drop on a tile's far edge still belongs to it.
bool holds(const CGRect& frame, CGPoint point) {
  return point.x >= frame.minX() && point.x <= frame.maxX() && point.y >= frame.minY() &&
         point.y <= frame.maxY();
}

double distance(const CGRect& frame, CGPoint point) {
  double dx = std::max({frame.minX() - point.x, 0.0, point.x - frame.maxX()});
  double dy = std::max({frame.minY() - point.y, 0.0, point.y - frame.maxY()});
  return std::hypot(dx, dy);
}

std::size_t chosenTile(CGPoint point, std::span<const CGRect> frames) {
  std::optional<std::size_t> smallest;
  for (std::size_t i = 0; i < frames.size(); ++i)
    if (holds(frames[i], point) && (!smallest || frames[i].area() < frames[*smallest].area()))
      smallest = i;
  if (smallest) return *smallest;
  std::size_t nearest = 0;
  for (std::size_t i = 1; i < frames.size(); ++i)
    if (distance(frames[i], point) < distance(frames[nearest], point)) nearest = i;
  return nearest;
}

}  // namespace

int DropTarget::tileIndex() const {
  return std::visit([](const auto& target) { return target.index; }, value);
}

std::optional<DropTarget> DropTarget::target(CGPoint point, std::span<const CGRect> frames,
                                             double edgeBand) {
  if (frames.empty()) return std::nullopt;
  std::size_t index = chosenTile(point, frames);
  const CGRect& frame = frames[index];
  int tile = static_cast<int>(index);
  if (!(frame.width() > 0 && frame.height() > 0)) return DropTarget::tile(tile);
  double fx = std::clamp((point.x - frame.minX()) / frame.width(), 0.0, 1.0);
  double fy = std::clamp((point.y - frame.minY()) / frame.height(), 0.0, 1.0);
  const std::array<std::pair<double, TileEdge>, 4> edges{{{fx, TileEdge::left},
                                                          {1 - fx, TileEdge::right},
                                                          {fy, TileEdge::top},
                                                          {1 - fy, TileEdge::bottom}}};
  auto nearest = edges.front();
  for (const auto& edge : edges)
    if (edge.first < nearest.first) nearest = edge;
  if (nearest.first < edgeBand) return DropTarget::beside(tile, nearest.second);
  return DropTarget::tile(tile);
}

}  // namespace kestles
