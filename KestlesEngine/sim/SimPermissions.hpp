#pragma once

#include <string>
#include <vector>

#include "KestlesEngine/platform/PermissionService.hpp"

namespace kestles::sim {

/// The simulated desktop's grants: trusted and allowed to record the screen unless told
/// otherwise. Like the system, it shows its request only while a grant is missing.
class SimPermissions final : public platform::PermissionService {
 public:
  /// The grants as the user has set them.
  void setTrusted(bool trusted) { trusted_ = trusted; }
  void setScreenRecording(bool allowed) { screenRecording_ = allowed; }
  /// How many times the system showed its request for the accessibility grant.
  int trustPrompts() const { return trustPrompts_; }
  /// The URLs opened, in order.
  const std::vector<std::string>& openedURLs() const { return openedURLs_; }

  bool isProcessTrusted(bool prompt) override;
  bool canRecordScreen() override { return screenRecording_; }
  bool requestScreenRecording() override { return screenRecording_; }
  bool openURL(const std::string& url) override;

 private:
  bool trusted_ = true;
  bool screenRecording_ = true;
  int trustPrompts_ = 0;
  std::vector<std::string> openedURLs_;
};

}  // namespace kestles::sim
