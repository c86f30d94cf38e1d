#pragma once

#include "KestlesEngine/platform/SystemDefaults.hpp"

namespace kestles::engine {

/// Whether the system's dictation is started by the same double press of Control that
/// opens our panel. Main thread only.
class Dictation {
 public:
  explicit Dictation(platform::SystemDefaults& defaults) : defaults_(defaults) {}

  /// True only when the dictation shortcut is on and is the Control key pressed twice;
  /// anything missing or of another type gives false.
  bool usesDoubleControl();

 private:
  platform::SystemDefaults& defaults_;
};

}  // namespace kestles::engine
