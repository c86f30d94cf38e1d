#pragma once

#include <vector>

#include "KestlesCore/display/DisplayInfo.hpp"

namespace kestles::platform {

/// The connected displays, read fresh on every call.
class DisplayProvider {
 public:
  virtual ~DisplayProvider() = default;
  /// The displays in the platform's order; empty when there are none to be seen.
  virtual std::vector<DisplayInfo> displays() = 0;
};

}  // namespace kestles::platform
