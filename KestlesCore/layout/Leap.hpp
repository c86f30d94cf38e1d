#pragma once

#include <optional>

#include "KestlesCore/geometry/CGRect.hpp"

namespace kestles {

/// The arithmetic of a window's picture flying to its place.
struct Leap {
  /// Where the picture starts relative to its destination: the offset of the source's
  /// centre from the destination's, and the scale, from 0.02 to 1.
  struct Start {
    CGPoint offset;
    double scale = 1;
    bool operator==(const Start&) const = default;
  };

  /// The largest scale at which `size` fits in `rect`.
  static double fittingScale(CGSize size, const CGRect& rect);
  /// `size` scaled to fit in `rect`, centred in it.
  static CGRect fitted(CGSize size, const CGRect& rect);
  /// `rect` carried proportionally from frame `from` to frame `to`; nothing when its
  /// centre is not inside `from`.
  static std::optional<CGRect> carried(const CGRect& rect, const CGRect& from, const CGRect& to);
  /// The start of a leap from `from` to `to`: √((w₀ / w₁) × (h₀ / h₁)), clamped.
  static Start start(const CGRect& from, const CGRect& to);
};

}  // namespace kestles
