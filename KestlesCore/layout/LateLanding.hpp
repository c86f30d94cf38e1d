#pragma once

#include <optional>

#include "KestlesCore/geometry/CGRect.hpp"

namespace kestles {

/// The check made after a move, when a window may have landed at another size than asked.
struct LateLanding {
  struct Verdict {
    bool learns = false;            // the new size should be learned as a limit
    std::optional<CGPoint> moveTo;  // where the window should go to sit on its tile
    bool operator==(const Verdict&) const = default;
  };

  /// Nothing when the window landed within 24 points of the target's size, or is elsewhere
  /// (neither rectangle contains the other's centre). Otherwise it learns, and moves when
  /// its landing position is more than a point away from where it is.
  static std::optional<Verdict> verdict(const CGRect& target, const CGRect& frame,
                                        const CGRect& within);
};

}  // namespace kestles
