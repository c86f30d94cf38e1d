#pragma once

#include <span>
#include <vector>

#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/layout/Gaps.hpp"
#include "KestlesCore/layout/SizeLimits.hpp"
#include "KestlesCore/layout/TileShape.hpp"

namespace kestles {

/// The frames of a shape's tiles within a visible frame.
struct LayoutSolution {
  std::vector<CGRect> tileFrames;  // one per tile, in tile order
  std::vector<UUID> tileIDs;       // the tile order itself
  bool fits = true;                // every tile got its window's minimum, within half a point
  bool operator==(const LayoutSolution&) const = default;
};

/// The room between two neighbouring children of a container, which the user can drag.
struct Divider {
  UUID splitID;   // the container
  int index = 0;  // between children index and index + 1
  Split axis = Split::columns;
  CGRect frame;      // the gap, across the whole container
  double start = 0;  // the leading edge of child index along the axis
  double end = 0;    // the trailing edge of child index + 1
  double gap = 0;    // the gap used in that container
  bool operator==(const Divider&) const = default;
};

/// Cuts a visible frame along a tile shape, with gaps and minimum sizes.
struct LayoutSolver {
  /// Frames for the tree's tiles. `minimums[i]` belongs to tile i of the tile order (missing
  /// entries: no minimum). Frames are rounded to whole points unless `unrounded`.
  static LayoutSolution solve(const LayoutNode& tree, const CGRect& visibleFrame, const Gaps& gaps,
                              std::span<const MinimumSize> minimums = {}, bool unrounded = false);
  /// Frames for drawn tiles placed by fractions of the visible frame; always rounded.
  static LayoutSolution solve(std::span<const DrawnTile> tiles, const CGRect& visibleFrame,
                              const Gaps& gaps, std::span<const MinimumSize> minimums = {});
  /// A tree through the tree solver, drawn tiles through the drawn one.
  static LayoutSolution solve(const TileShape& shape, const CGRect& visibleFrame, const Gaps& gaps,
                              std::span<const MinimumSize> minimums = {}, bool unrounded = false);
  /// The dividers of every container, from the same (unrounded) computation, depth-first.
  static std::vector<Divider> dividers(const LayoutNode& tree, const CGRect& visibleFrame,
                                       const Gaps& gaps,
                                       std::span<const MinimumSize> minimums = {});

  /// Shares `length` among children by weight, giving each at least its minimum when the
  /// minimums fit, and in proportion to the minimums when they do not. Missing minimums
  /// are 0.
  static std::vector<double> distribute(double length, std::span<const double> weights,
                                        std::span<const double> minimums);
};

}  // namespace kestles
