#pragma once

#include <optional>

namespace kestles {

/// The timing of an animated move of many windows, each starting a little after the last.
struct Glide {
  /// The stagger between windows, and the most windows that are staggered.
  static constexpr double kStagger = 0.016;
  static constexpr int kMostStaggered = 5;

  /// Seconds after the glide begins that window `index` starts (at most 0.08).
  static double delay(int index);
  /// Eased progress (0 to 1) of window `index` at `elapsed` seconds into a glide of
  /// `duration`; nothing before the window starts; 1 when the duration is not positive.
  static std::optional<double> progress(int index, double elapsed, double duration);
  /// How long a glide of `count` windows lasts in all.
  static double totalDuration(int count, double duration);
  /// The moment just past the middle of window `index`'s own glide.
  static double midpoint(int index, double duration);
};

}  // namespace kestles
