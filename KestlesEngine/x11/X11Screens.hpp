#pragma once

#include "KestlesEngine/platform/Screens.hpp"
#include "KestlesEngine/x11/X11Observers.hpp"
#include "KestlesEngine/x11/X11Session.hpp"

namespace kestles::x11 {

/// The RandR monitors (see `readDisplays`) and the pointer. Changes come from the layer's
/// event thread (see `post`) and are delivered on it.
class X11Screens final : public platform::Screens {
 public:
  explicit X11Screens(X11Session& session) : session_(session) {}
  std::vector<DisplayInfo> screens() override;
  /// Where the pointer is on the root window; nothing when it is on another screen.
  std::optional<CGPoint> mouseLocation() override;
  std::uint64_t observeChanges(ChangeObserver observer) override {
    return observers_.add(std::move(observer));
  }
  void stopObservingChanges(std::uint64_t token) override { observers_.remove(token); }

  /// Tells every observer that the displays may have changed; called by the event thread.
  void post() { observers_.post(); }

 private:
  X11Session& session_;
  X11Observers<> observers_;
};

}  // namespace kestles::x11
