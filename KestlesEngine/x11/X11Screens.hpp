#pragma once

#include "KestlesEngine/platform/Screens.hpp"
#include "KestlesEngine/x11/X11Session.hpp"

namespace kestles::x11 {

/// The RandR monitors (see `readDisplays`) and the pointer.
class X11Screens final : public platform::Screens {
 public:
  explicit X11Screens(X11Session& session) : session_(session) {}
  std::vector<DisplayInfo> screens() override;
  /// Where the pointer is on the root window; nothing when it is on another screen.
  std::optional<CGPoint> mouseLocation() override;

 private:
  X11Session& session_;
};

}  // namespace kestles::x11
