#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "KestlesCore/geometry/CGRect.hpp"

namespace kestles {

/// The row of layout thumbnails along the top of a display's visible frame.
struct LayoutStrip {
  static constexpr double kThumbnailHeight = 40;
  static constexpr double kSpacing = 8;

  /// A thumbnail's width: the visible frame's aspect at 40 points high (40 without height).
  static double thumbnailWidth(const CGRect& visible);
  /// How many thumbnails fit across, at least 1.
  static std::size_t capacity(const CGRect& visible);
  /// The frames of the thumbnails for `layoutCount` layouts (at most the capacity), centred.
  static std::vector<CGRect> thumbnailFrames(const CGRect& visible, std::size_t layoutCount);
  /// The union of the thumbnails grown by 10 points; nothing without thumbnails.
  static std::optional<CGRect> hotArea(std::span<const CGRect> thumbnails);
  /// Whether the pointer is high enough on the display to be in the strip's zone.
  static bool isInZone(CGPoint point, const CGRect& visible);
  /// The first thumbnail whose frame, grown by 4 points across and 10 up and down,
  /// contains the point.
  static std::optional<std::size_t> thumbnail(CGPoint point, std::span<const CGRect> thumbnails);
  /// Whether two sets of frames are the same within 0.002 in origin and size.
  static bool sameFrames(std::span<const CGRect> a, std::span<const CGRect> b);
  /// The first layout whose solved frames are the current ones, or nothing.
  static std::optional<std::size_t> matchingLayout(std::span<const CGRect> current,
                                                   std::span<const std::vector<CGRect>> solved);
};

}  // namespace kestles
