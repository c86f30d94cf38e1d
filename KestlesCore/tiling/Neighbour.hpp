#pragma once

#include <cstddef>
#include <optional>
#include <span>

#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/layout/TileEdge.hpp"

namespace kestles {

/// The frame beside frame `of` toward the edge: among the frames on that side (overlapping
/// it along the direction by at most a point) that overlap it across the direction by more
/// than a point, the one with the larger overlap (by more than a point), then the nearer,
/// then the lower index. Nothing when no frame qualifies or `of` is out of range.
std::optional<std::size_t> neighbour(std::size_t of, TileEdge toward,
                                     std::span<const CGRect> frames);

}  // namespace kestles
