#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/layout/LayoutNode.hpp"

namespace kestles {

/// Reading a tree of splits off window frames as they stand on a display.
struct LayoutInference {
  /// Frames that overlap by this much or less still fall into different groups.
  static constexpr double kOverlap = 8;
  /// Empty room longer than this becomes a spacer.
  static constexpr double kSpacer = 40;

  struct Result {
    LayoutNode tree;
    std::vector<std::size_t> frameOfTile;  // tile i of the tree's tile order is this frame
    bool operator==(const Result&) const = default;
  };

  /// The tree the frames form within the area: cut along columns, else rows, recursively;
  /// weights are lengths in points, and room of more than 40 points before, between or
  /// after groups becomes a spacer. A single frame is a tile. Nothing without frames or when
  /// some group of frames can be cut along neither axis.
  static std::optional<Result> infer(std::span<const CGRect> frames, const CGRect& area);
};

}  // namespace kestles
