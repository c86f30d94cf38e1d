#pragma once

#include <ostream>
#include <string>

#include "KestlesCore/display/DisplaySetup.hpp"
#include "KestlesCore/geometry/CGRect.hpp"

namespace kestles {

/// Frames in failure messages as (x, y, width, height).
inline void PrintTo(const CGRect& rect, std::ostream* out) {
  *out << "(" << rect.origin.x << ", " << rect.origin.y << ", " << rect.size.width << ", "
       << rect.size.height << ")";
}

namespace snap_testing {

inline DisplayInfo snapDisplay(std::string id, CGRect frame, CGRect visible) {
  return {id, id, frame, visible, false, false};
}

/// A laptop panel with a 25-point menu bar: visible 1440 × 875 at (0, 25).
inline DisplayInfo laptop() {
  return snapDisplay("L", {0, 0, 1440, 900}, {0, 25, 1440, 875});
}

/// A wide display to the laptop's right, so the laptop is its left neighbour.
inline DisplayInfo external() {
  return snapDisplay("E", {1440, 0, 2560, 1440}, {1440, 25, 2560, 1415});
}

/// A portrait display to the right of the wide one, without a menu bar.
inline DisplayInfo portrait() {
  return snapDisplay("P", {4000, 0, 1080, 1920}, {4000, 0, 1080, 1920});
}

}  // namespace snap_testing
}  // namespace kestles
