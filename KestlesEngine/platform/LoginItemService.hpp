#pragma once

#include <optional>
#include <string>

namespace kestles::platform {

/// The app as an item that opens at login. Main thread only.
class LoginItemService {
 public:
  /// The system's status of the item, by the system's raw values.
  enum class Status { notRegistered = 0, enabled = 1, requiresApproval = 2, notFound = 3 };

  virtual ~LoginItemService() = default;
  virtual Status status() = 0;
  /// Registers the item; nothing on success, else the error's description.
  virtual std::optional<std::string> registerItem() = 0;
  /// Unregisters the item; nothing on success, else the error's description.
  virtual std::optional<std::string> unregisterItem() = 0;
  /// Opens the system's settings of login items; false when there are none to open.
  virtual bool openSettings() = 0;
};

}  // namespace kestles::platform
