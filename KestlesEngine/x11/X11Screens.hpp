#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "KestlesEngine/platform/Screens.hpp"
#include "KestlesEngine/x11/X11Observers.hpp"
#include "KestlesEngine/x11/X11Session.hpp"

namespace kestles::x11 {

/// The RandR monitors (see `readDisplays`) and the pointer. Changes come from the layer's
/// event thread (see `post`) and are delivered on it. The monitors are read once and kept
/// until the next change: every command's snapshot asks for them, and they change only with
/// an event.
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

  /// Forgets the monitors read and tells every observer that the displays may have changed;
  /// called by the event thread.
  void post() {
    {
      std::lock_guard lock(cacheMutex_);
      ++generation_;
      cached_.reset();
    }
    observers_.post();
  }

 private:
  X11Session& session_;
  X11Observers<> observers_;
  std::mutex cacheMutex_;
  std::uint64_t generation_ = 0;                    // under the mutex
  std::optional<std::vector<DisplayInfo>> cached_;  // under the mutex
};

}  // namespace kestles::x11
