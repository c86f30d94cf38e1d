#pragma once

#include <string_view>

#include "KestlesCore/snap/StageManager.hpp"
#include "KestlesEngine/engine/SystemTiling.hpp"
#include "KestlesEngine/platform/SystemPreferences.hpp"

namespace kestles::engine {

/// The system's Stage Manager settings, as snapping needs them. Main thread only.
class StageManagerPreferences {
 public:
  static constexpr std::string_view kDomain = SystemTiling::kDomain;
  static constexpr std::string_view kDockDomain = "com.apple.dock";

  /// What was read.
  struct Values {
    bool enabled = false;     // "GloballyEnabled"; not set: false
    bool hidesStrip = false;  // "AutoHide": the strip of recent apps hides itself
    bool dockOnLeft = false;  // the dock's "orientation" is "left"
    bool operator==(const Values&) const = default;

    /// The core's view: the strip shows unless it hides, and it gives way to a dock on the
    /// left by moving to the right edge.
    StageManager stageManager() const { return {enabled, !hidesStrip, dockOnLeft}; }
  };

  explicit StageManagerPreferences(platform::SystemPreferences& preferences)
      : preferences_(preferences) {}

  /// Reads both domains afresh; all false on a platform without Stage Manager.
  Values read();

 private:
  bool flag(std::string_view key);
  platform::SystemPreferences& preferences_;
};

}  // namespace kestles::engine
