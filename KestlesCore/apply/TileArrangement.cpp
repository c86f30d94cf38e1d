#include "KestlesCore/apply/TileArrangement.hpp"

#include <algorithm>
#include <cmath>

#include "KestlesCore/layout/LayoutSolver.hpp"
#include "KestlesCore/tiling/StyleShapes.hpp"

namespace kestles {
namespace {

bool sameFrames(const std::vector<CGRect>& a, const std::vector<CGRect>& b, double tolerance) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::fabs(a[i].minX() - b[i].minX()) > tolerance ||
        std::fabs(a[i].minY() - b[i].minY()) > tolerance ||
        std::fabs(a[i].maxX() - b[i].maxX()) > tolerance ||
        std::fabs(a[i].maxY() - b[i].maxY()) > tolerance)
      return false;
  return true;
}

std::vector<CGRect> tileFramesOf(const TileShape& shape, const DisplayInfo& display,
                                 const Gaps& gaps, const std::vector<MinimumSize>& minimums = {}) {
  return LayoutSolver::solve(shape, display.visibleFrame, gaps, minimums).tileFrames;
}

/// Whether the windows, in tile order, sit in the shape's tiles.
bool isShown(const TileShape& shape, const std::vector<CGRect>& windowFrames,
             const std::vector<MinimumSize>& minimums, const DisplayInfo& display,
             const Gaps& gaps) {
  auto tiles = tileFramesOf(shape, display, gaps, minimums);
  auto placed = std::min(tiles.size(), windowFrames.size());
  if (placed == 0) return false;
  tiles.resize(placed);
  return sameFrames(tiles, {windowFrames.begin(), windowFrames.begin() + placed},
                    kArrangementTolerance);
}

}  // namespace

std::vector<TileArrangement> styleArrangements(int count, const DisplayInfo& display,
                                               TilingStyle style, const Gaps& gaps) {
  std::vector<TilingStyle> order{style};
  for (auto other : allTilingStyles())
    if (other != style) order.push_back(other);
  std::vector<TileArrangement> found;
  std::vector<std::vector<CGRect>> seen;
  for (auto each : order) {
    auto shape = shapeForCount(count, display.visibleFrame.size, each);
    auto frames = tileFramesOf(shape, display, gaps);
    bool repeated = std::any_of(seen.begin(), seen.end(), [&](const auto& earlier) {
      return sameFrames(earlier, frames, 0.5);
    });
    if (repeated) continue;
    seen.push_back(std::move(frames));
    found.push_back({std::string(title(each)), std::move(shape)});
  }
  return found;
}

TileArrangementChoice chooseArrangement(const std::vector<TileArrangement>& candidates,
                                        const std::vector<CGRect>& windowFrames,
                                        const std::vector<MinimumSize>& minimums,
                                        const DisplayInfo& display, const Gaps& gaps) {
  std::size_t chosen = 0;
  for (std::size_t shown = 0; shown < candidates.size() && candidates.size() > 1; ++shown)
    if (isShown(candidates[shown].shape, windowFrames, minimums, display, gaps)) {
      chosen = (shown + 1) % candidates.size();
      break;
    }
  TileArrangementChoice choice{candidates[chosen], std::nullopt};
  if (candidates.size() > 1) choice.next = candidates[(chosen + 1) % candidates.size()].name;
  return choice;
}

}  // namespace kestles
