#pragma once

#include "KestlesCore/display/DisplaySetup.hpp"

namespace kestles {

/// The system's Stage Manager as far as snapping cares: whether its strip of recent apps
/// takes room at a side of every display.
struct StageManager {
  /// The widest the strip gets; it takes a third of a narrower display.
  static constexpr double largestStrip = 190;

  bool isOn = false;
  bool showsStrip = false;
  bool onRight = false;  // the strip sits at the right edge instead of the left

  /// The displays with their visible frames narrowed by the strip, when it shows; else the
  /// displays unchanged.
  DisplaySetup room(const DisplaySetup& displays) const;

  bool operator==(const StageManager&) const = default;
};

}  // namespace kestles
