#pragma once

#include <optional>
#include <string>

#include "KestlesEngine/platform/LoginItemService.hpp"

namespace kestles::sim {

/// The simulated login item: registering turns it on (or leaves it waiting for approval),
/// unregistering turns it off, each unless told to fail.
class SimLoginItem final : public platform::LoginItemService {
 public:
  using Status = platform::LoginItemService::Status;

  void setStatus(Status status) { status_ = status; }
  /// A registration leaves the item waiting for the user's approval.
  void requireApproval(bool required) { requiresApproval_ = required; }
  /// The next registration or unregistration fails with this description.
  void failNext(std::string description) { failure_ = std::move(description); }
  int settingsOpened() const { return settingsOpened_; }

  Status status() override { return status_; }
  std::optional<std::string> registerItem() override;
  std::optional<std::string> unregisterItem() override;
  bool openSettings() override;

 private:
  std::optional<std::string> takeFailure();
  Status status_ = Status::notRegistered;
  bool requiresApproval_ = false;
  std::optional<std::string> failure_;
  int settingsOpened_ = 0;
};

}  // namespace kestles::sim
