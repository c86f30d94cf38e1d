#pragma once

#include "KestlesEngine/platform/Workspace.hpp"
#include "KestlesEngine/x11/X11Observers.hpp"
#include "KestlesEngine/x11/X11Session.hpp"

namespace kestles::x11 {

/// The running apps of the X session: the processes that own app windows (see
/// `applicationsOf`); none of them is ever hidden. Notifications come from the layer's event
/// thread (see `post`) and are delivered on it.
class X11Workspace final : public platform::Workspace {
 public:
  explicit X11Workspace(X11Session& session) : session_(session) {}

  /// From the shared desktop read (`X11Session::desktop`).
  std::vector<platform::RunningApplication> runningApplications() override;
  std::int32_t ownPID() override;
  /// For a stand-in pid: whether a window of its connection is still listed.
  bool processExists(std::int32_t pid) override;
  std::uint64_t observe(Observer observer) override;
  /// Once this returns, the observer is not running and never runs again.
  void stopObserving(std::uint64_t token) override;

  /// Hands the notification to every observer; called by the event thread.
  void post(const platform::WorkspaceNotification& notification);

 private:
  X11Session& session_;
  X11Observers<platform::WorkspaceNotification> observers_;
};

}  // namespace kestles::x11
