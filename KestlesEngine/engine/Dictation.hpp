#pragma once

#include "KestlesEngine/platform/SystemPreferences.hpp"

namespace kestles::engine {

/// Whether the system's dictation is started by the same double press of Control that
/// opens our panel. Main thread only.
class Dictation {
 public:
  explicit Dictation(platform::SystemPreferences& preferences) : preferences_(preferences) {}

  /// True only when the dictation shortcut is on and is the Control key pressed twice;
  /// anything missing or of another type gives false.
  bool usesDoubleControl();

 private:
  platform::SystemPreferences& preferences_;
};

}  // namespace kestles::engine
