#pragma once

#include <optional>
#include <span>

#include "KestlesCore/display/DisplayInfo.hpp"
#include "KestlesCore/snap/SnapAction.hpp"

namespace kestles {

/// The zones along a display's rim where dropping a dragged window snaps it.
struct EdgeZone {
  /// How far from the display's edge the pointer may be and still be at it.
  static constexpr double band = 6;
  /// How far along an edge from a corner the corner's zone reaches.
  static constexpr double cornerReach = 120;

  /// The place the pointer's zone means on `display` (by its whole frame), or nothing when
  /// the pointer is in no zone. An edge that another of `displays` continues at the pointer
  /// has no zone there, so the pointer can cross to the neighbour; `displays` may include
  /// `display` itself. The window's frame for the zone is the place's frame on the display's
  /// visible frame (`Snapper::placeFrame`).
  static std::optional<SnapAction> action(CGPoint point, const DisplayInfo& display,
                                          std::span<const DisplayInfo> displays);
};

}  // namespace kestles
