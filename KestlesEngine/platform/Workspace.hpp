#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kestles::platform {

/// One running application as the workspace lists it.
struct RunningApplication {
  std::uint64_t handle = 0;  // the same for the same app object while it runs
  std::int32_t pid = 0;      // below 1 when the workspace does not know it
  std::optional<std::string> bundleID;
  std::optional<std::string> localizedName;
  bool isHidden = false;
  bool isRegular = true;  // an ordinary app with windows (not an agent or background app)
  bool isTerminated = false;
  bool operator==(const RunningApplication&) const = default;
};

/// A workspace notification.
struct WorkspaceNotification {
  enum class Kind {
    didLaunch,
    didTerminate,
    didHide,
    didUnhide,
    activeSpaceDidChange,
    windowFullScreenDidChange  // a window entered or left full screen
  };
  Kind kind = Kind::didLaunch;
  std::optional<RunningApplication> app;  // absent for the Space and full-screen changes
  std::optional<std::uint32_t> window = std::nullopt;  // the window whose full screen changed
};

/// The running apps, processes and workspace notifications.
class Workspace {
 public:
  using Observer = std::function<void(const WorkspaceNotification&)>;

  virtual ~Workspace() = default;
  virtual std::vector<RunningApplication> runningApplications() = 0;
  /// This process's id: its windows are never touched.
  virtual std::int32_t ownPID() = 0;
  /// Whether the process still exists (signal 0 succeeds or is refused for permission).
  virtual bool processExists(std::int32_t pid) = 0;
  /// Starts delivering notifications to `observer` (on the main context); returns a token.
  virtual std::uint64_t observe(Observer observer) = 0;
  virtual void stopObserving(std::uint64_t token) = 0;
};

}  // namespace kestles::platform
