#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "KestlesCore/display/DisplayInfo.hpp"

namespace kestles::platform {

/// The connected displays in the global top-left-origin space.
class Screens {
 public:
  using ChangeObserver = std::function<void()>;

  virtual ~Screens() = default;
  /// The displays in the platform's order, read fresh.
  virtual std::vector<DisplayInfo> screens() = 0;
  /// Where the pointer is; nothing when the platform cannot tell.
  virtual std::optional<CGPoint> mouseLocation() = 0;
  /// Calls `observer` (on any thread) whenever the displays may have changed: one came or
  /// went, moved, changed size, or a panel changed what is free of it. Returns a token. A
  /// platform whose displays never change on their own never calls it.
  virtual std::uint64_t observeChanges(ChangeObserver observer) {
    (void)observer;
    return 0;
  }
  /// Once this returns, the observer is not running and never runs again.
  virtual void stopObservingChanges(std::uint64_t token) { (void)token; }
};

}  // namespace kestles::platform
