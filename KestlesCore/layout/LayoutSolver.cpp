#include "KestlesCore/layout/LayoutSolver.hpp"

#include <algorithm>
#include <cmath>

namespace kestles {
namespace {

constexpr double kSmallestWeight = 0.0001;
constexpr double kFitTolerance = 0.5;

/// Shares `length` into `sizes`; `fixed` is scratch of the same length.
void distributeInto(double length, std::span<const double> weights,
                    std::span<const double> minimums, std::span<double> fixed,
                    std::span<double> sizes) {
  std::size_t n = sizes.size();
  double minimumSum = 0;
  for (double m : minimums)
    minimumSum += m;
  if (minimumSum > 0 && length <= minimumSum) {
    for (std::size_t i = 0; i < n; ++i)
      sizes[i] = length * minimums[i] / minimumSum;
    return;
  }
  std::fill(fixed.begin(), fixed.end(), 0.0);
  for (bool fixedSome = true; fixedSome;) {
    double fixedLength = 0;
    double freeWeight = 0;
    for (std::size_t i = 0; i < n; ++i) {
      if (fixed[i] != 0)
        fixedLength += sizes[i];
      else
        freeWeight += weights[i];
    }
    double rest = length - fixedLength;
    for (std::size_t i = 0; i < n; ++i)
      if (fixed[i] == 0) sizes[i] = freeWeight > 0 ? rest * weights[i] / freeWeight : 0;
    fixedSome = false;
    for (std::size_t i = 0; i < n; ++i) {
      if (fixed[i] != 0 || sizes[i] >= minimums[i]) continue;
      sizes[i] = minimums[i];
      fixed[i] = 1;
      fixedSome = true;
    }
  }
}

/// Lengths of a container's axis and across it.
struct Axis {
  Split split;
  double start(const CGRect& r) const { return split == Split::columns ? r.minX() : r.minY(); }
  double end(const CGRect& r) const { return split == Split::columns ? r.maxX() : r.maxY(); }
  double along(const MinimumSize& m) const { return split == Split::columns ? m.width : m.height; }
  /// The part of `r` from `from` for `length` along the axis, across the whole of `r`.
  CGRect slice(const CGRect& r, double from, double length) const {
    if (split == Split::columns) return {from, r.minY(), length, r.height()};
    return {r.minX(), from, r.width(), length};
  }
};

/// One walk over a tree, filling tile frames (and optionally dividers).
class TreeLayout {
 public:
  TreeLayout(const Gaps& gaps, std::span<const MinimumSize> minimums, LayoutSolution& solution,
             std::vector<Divider>* dividers)
      : gaps_(gaps), minimums_(minimums), solution_(solution), dividers_(dividers) {
    scratch_.reserve(64);
  }

  void layOut(const LayoutNode& node, const CGRect& rect) {
    if (node.isLeaf())
      placeLeaf(node, rect);
    else
      layOutContainer(node, rect);
  }

 private:
  /// The tile number of the next tile leaf; ranks make it differ from the leaf order.
  std::optional<std::size_t> tileNumber(const LayoutNode& leaf, std::size_t position) const {
    const auto& ids = solution_.tileIDs;
    if (position < ids.size() && ids[position] == leaf.id) return position;
    auto found = std::find(ids.begin(), ids.end(), leaf.id);
    if (found == ids.end()) return std::nullopt;
    return static_cast<std::size_t>(found - ids.begin());
  }

  MinimumSize minimumOfTile(std::optional<std::size_t> number) const {
    if (!number || *number >= minimums_.size()) return {};
    return minimums_[*number];
  }

  /// The smallest size the subtree needs; `tilesSeen` counts tile leaves in leaf order.
  MinimumSize subtreeMinimum(const LayoutNode& node, std::size_t& tilesSeen) const {
    if (node.isLeaf()) {
      // Without any minimums a tile needs nothing, but the gaps above it still count.
      if (node.isSpacer || minimums_.empty()) return {};
      return minimumOfTile(tileNumber(node, tilesSeen++));
    }
    MinimumSize sum;
    for (const auto& child : node.children) {
      auto m = subtreeMinimum(child, tilesSeen);
      bool columns = node.split == Split::columns;
      sum.width = columns ? sum.width + m.width : std::max(sum.width, m.width);
      sum.height = columns ? std::max(sum.height, m.height) : sum.height + m.height;
    }
    double gaps = gaps_.inner * static_cast<double>(node.children.size() - 1);
    (node.split == Split::columns ? sum.width : sum.height) += gaps;
    return sum;
  }

  void placeLeaf(const LayoutNode& leaf, const CGRect& rect) {
    if (leaf.isSpacer) return;
    auto number = tileNumber(leaf, tilesPlaced_++);
    if (!number) return;
    solution_.tileFrames[*number] = rect;
    auto minimum = minimumOfTile(number);
    if (minimum.width > rect.width() + kFitTolerance ||
        minimum.height > rect.height() + kFitTolerance)
      solution_.fits = false;
  }

  void layOutContainer(const LayoutNode& node, const CGRect& rect) {
    Axis axis{*node.split};
    std::size_t n = node.children.size();
    double length = std::max(0.0, axis.end(rect) - axis.start(rect));
    double gap =
        n >= 2 ? std::min(gaps_.inner, length * 0.5 / static_cast<double>(n - 1)) : gaps_.inner;
    double free = std::max(0.0, length - (n >= 2 ? gap * static_cast<double>(n - 1) : 0));

    // Scratch for this container: weights, minimums, fixed flags, sizes.
    std::size_t base = scratch_.size();
    scratch_.resize(base + 4 * n);
    std::size_t tilesSeen = tilesPlaced_;
    for (std::size_t i = 0; i < n; ++i) {
      scratch_[base + i] = std::fmax(node.children[i].weight, kSmallestWeight);
      scratch_[base + n + i] = axis.along(subtreeMinimum(node.children[i], tilesSeen));
    }
    std::span<double> all(scratch_.data() + base, 4 * n);
    distributeInto(free, all.subspan(0, n), all.subspan(n, n), all.subspan(2 * n, n),
                   all.subspan(3 * n, n));
    double total = 0;
    for (double size : all.subspan(3 * n, n))
      total += size;
    if (total > free + kFitTolerance) solution_.fits = false;

    double position = axis.start(rect);
    CGRect previous;
    for (std::size_t k = 0; k < n; ++k) {
      double size =
          k + 1 == n ? std::max(0.0, axis.end(rect) - position) : scratch_[base + 3 * n + k];
      CGRect childRect = axis.slice(rect, position, size);
      if (dividers_ && k > 0) recordDivider(node, axis, rect, previous, childRect, k - 1, gap);
      layOut(node.children[k], childRect);
      previous = childRect;
      position += size + gap;
    }
    scratch_.resize(base);
  }

  void recordDivider(const LayoutNode& node, const Axis& axis, const CGRect& rect,
                     const CGRect& before, const CGRect& after, std::size_t index, double gap) {
    double from = axis.end(before);
    dividers_->push_back({node.id, static_cast<int>(index), axis.split,
                          axis.slice(rect, from, axis.start(after) - from), axis.start(before),
                          axis.end(after), gap});
  }

  const Gaps& gaps_;
  std::span<const MinimumSize> minimums_;
  LayoutSolution& solution_;
  std::vector<Divider>* dividers_;
  std::vector<double> scratch_;
  std::size_t tilesPlaced_ = 0;
};

LayoutSolution solveTree(const LayoutNode& tree, const CGRect& visibleFrame, const Gaps& gaps,
                         std::span<const MinimumSize> minimums, std::vector<Divider>* dividers) {
  LayoutSolution solution;
  solution.tileIDs = tree.tileOrder();
  solution.tileFrames.assign(solution.tileIDs.size(), CGRect());
  TreeLayout layout(gaps, minimums, solution, dividers);
  layout.layOut(tree, visibleFrame.insetBy(gaps.outer, gaps.outer));
  return solution;
}

}  // namespace

LayoutSolution LayoutSolver::solve(const LayoutNode& tree, const CGRect& visibleFrame,
                                   const Gaps& gaps, std::span<const MinimumSize> minimums,
                                   bool unrounded) {
  auto solution = solveTree(tree, visibleFrame, gaps, minimums, nullptr);
  if (!unrounded)
    for (auto& frame : solution.tileFrames)
      frame = frame.rounded();
  return solution;
}

LayoutSolution LayoutSolver::solve(std::span<const DrawnTile> tiles, const CGRect& visibleFrame,
                                   const Gaps& gaps, std::span<const MinimumSize> minimums) {
  LayoutSolution solution;
  double half = gaps.inner * 0.5;
  const CGRect& v = visibleFrame;
  for (std::size_t i = 0; i < tiles.size(); ++i) {
    const CGRect& u = tiles[i].unit;
    double left = v.minX() + u.minX() * v.width() + (u.minX() <= 0.001 ? gaps.outer : half);
    double right = v.minX() + u.maxX() * v.width() - (u.maxX() >= 0.999 ? gaps.outer : half);
    double top = v.minY() + u.minY() * v.height() + (u.minY() <= 0.001 ? gaps.outer : half);
    double bottom = v.minY() + u.maxY() * v.height() - (u.maxY() >= 0.999 ? gaps.outer : half);
    CGRect frame =
        CGRect(left, top, std::max(0.0, right - left), std::max(0.0, bottom - top)).rounded();
    if (i < minimums.size() && (minimums[i].width > frame.width() + kFitTolerance ||
                                minimums[i].height > frame.height() + kFitTolerance))
      solution.fits = false;
    solution.tileFrames.push_back(frame);
    solution.tileIDs.push_back(tiles[i].id);
  }
  return solution;
}

LayoutSolution LayoutSolver::solve(const TileShape& shape, const CGRect& visibleFrame,
                                   const Gaps& gaps, std::span<const MinimumSize> minimums,
                                   bool unrounded) {
  if (auto* tree = shape.treeNode()) return solve(*tree, visibleFrame, gaps, minimums, unrounded);
  return solve(*shape.drawnTiles(), visibleFrame, gaps, minimums);
}

std::vector<Divider> LayoutSolver::dividers(const LayoutNode& tree, const CGRect& visibleFrame,
                                            const Gaps& gaps,
                                            std::span<const MinimumSize> minimums) {
  std::vector<Divider> result;
  solveTree(tree, visibleFrame, gaps, minimums, &result);
  return result;
}

std::vector<double> LayoutSolver::distribute(double length, std::span<const double> weights,
                                             std::span<const double> minimums) {
  std::size_t n = weights.size();
  std::vector<double> padded(n, 0.0);
  std::copy_n(minimums.begin(), std::min(n, minimums.size()), padded.begin());
  std::vector<double> sizes(n);
  std::vector<double> fixed(n);
  distributeInto(length, weights, padded, fixed, sizes);
  return sizes;
}

}  // namespace kestles
