#pragma once

#include <string>

namespace kestles::platform {

/// The system's grants to this process: the accessibility interface and screen recording.
/// Main thread only.
class PermissionService {
 public:
  virtual ~PermissionService() = default;
  /// Whether this process may use the accessibility interface. With `prompt` the system
  /// shows its own request to grant it when it is not granted yet.
  virtual bool isProcessTrusted(bool prompt) = 0;
  /// Whether this process may record the screen, without asking.
  virtual bool canRecordScreen() = 0;
  /// Asks the system for screen recording (it may show its request); the answer.
  virtual bool requestScreenRecording() = 0;
  /// Opens a settings URL with the workspace; false when nothing opened it.
  virtual bool openURL(const std::string& url) = 0;
};

}  // namespace kestles::platform
