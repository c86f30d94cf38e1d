#include "KestlesCore/tiling/Neighbour.hpp"

#include <algorithm>
#include <cmath>

namespace kestles {
namespace {

/// How far the candidate lies beyond the source's edge (negative when they overlap).
double gapToward(const CGRect& source, const CGRect& candidate, TileEdge toward) {
  switch (toward) {
    case TileEdge::left:
      return source.minX() - candidate.maxX();
    case TileEdge::right:
      return candidate.minX() - source.maxX();
    case TileEdge::top:
      return source.minY() - candidate.maxY();
    case TileEdge::bottom:
      break;
  }
  return candidate.minY() - source.maxY();
}

/// How much the two share across the direction of travel.
double overlapAcross(const CGRect& source, const CGRect& candidate, TileEdge toward) {
  if (axis(toward) == Split::columns)
    return std::min(source.maxY(), candidate.maxY()) - std::max(source.minY(), candidate.minY());
  return std::min(source.maxX(), candidate.maxX()) - std::max(source.minX(), candidate.minX());
}

}  // namespace

std::optional<std::size_t> neighbour(std::size_t of, TileEdge toward,
                                     std::span<const CGRect> frames) {
  if (of >= frames.size()) return std::nullopt;
  const CGRect& source = frames[of];
  std::optional<std::size_t> best;
  double bestOverlap = 0, bestGap = 0;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    if (i == of) continue;
    double gap = gapToward(source, frames[i], toward);
    double overlap = overlapAcross(source, frames[i], toward);
    if (gap < -1 || overlap <= 1) continue;
    bool better = !best || overlap > bestOverlap + 1 ||
                  (std::fabs(overlap - bestOverlap) <= 1 && gap < bestGap);
    if (better) {
      best = i;
      bestOverlap = overlap;
      bestGap = gap;
    }
  }
  return best;
}

}  // namespace kestles
