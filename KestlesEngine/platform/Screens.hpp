#pragma once

#include <optional>
#include <vector>

#include "KestlesCore/display/DisplayInfo.hpp"

namespace kestles::platform {

/// The connected displays in the global top-left-origin space.
class Screens {
 public:
  virtual ~Screens() = default;
  /// The displays in the platform's order, read fresh.
  virtual std::vector<DisplayInfo> screens() = 0;
  /// Where the pointer is; nothing when the platform cannot tell.
  virtual std::optional<CGPoint> mouseLocation() = 0;
};

}  // namespace kestles::platform
