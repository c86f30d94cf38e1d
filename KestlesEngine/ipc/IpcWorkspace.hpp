#pragma once

#include "KestlesEngine/ipc/IpcSession.hpp"
#include "KestlesEngine/platform/Workspace.hpp"
#include "KestlesEngine/x11/X11Observers.hpp"

namespace kestles::ipc {

/// The running apps are the processes that own windows in the compositor's tree, each named
/// by its Wayland app id or X class. Notifications come from the layer's event thread.
class IpcWorkspace final : public platform::Workspace {
 public:
  explicit IpcWorkspace(IpcSession& session) : session_(session) {}

  /// The apps of the tree as it is now (never a kept one).
  std::vector<platform::RunningApplication> runningApplications() override;
  std::int32_t ownPID() override;
  bool processExists(std::int32_t pid) override;
  std::uint64_t observe(Observer observer) override;
  void stopObserving(std::uint64_t token) override;

  /// Delivers a notification to the observers; called by the event thread.
  void post(const platform::WorkspaceNotification& notification) { observers_.post(notification); }

 private:
  IpcSession& session_;
  x11::X11Observers<platform::WorkspaceNotification> observers_;
};

/// The apps of the tree's windows, in the order of their first window.
std::vector<platform::RunningApplication> applicationsOf(const IpcTree& tree);

}  // namespace kestles::ipc
