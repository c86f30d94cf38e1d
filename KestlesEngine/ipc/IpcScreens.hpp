#pragma once

#include "KestlesEngine/ipc/IpcSession.hpp"
#include "KestlesEngine/platform/Screens.hpp"
#include "KestlesEngine/x11/X11Observers.hpp"

namespace kestles::ipc {

/// The compositor's active outputs as displays (see `parseDisplays`), read fresh each time;
/// changes come from the layer's event thread (output events, and workspace events, since a
/// bar's room belongs to the workspace shown).
class IpcScreens final : public platform::Screens {
 public:
  explicit IpcScreens(IpcSession& session) : session_(session) {}

  std::vector<DisplayInfo> screens() override { return session_.displays(); }
  /// The IPC does not tell where the pointer is.
  std::optional<CGPoint> mouseLocation() override { return std::nullopt; }
  std::uint64_t observeChanges(ChangeObserver observer) override {
    return observers_.add(std::move(observer));
  }
  void stopObservingChanges(std::uint64_t token) override { observers_.remove(token); }

  /// Tells the observers that the displays may have changed; called by the event thread.
  void post() { observers_.post(); }

 private:
  IpcSession& session_;
  x11::X11Observers<> observers_;
};

}  // namespace kestles::ipc
