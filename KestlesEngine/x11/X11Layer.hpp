#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "KestlesCore/world/AppRef.hpp"
#include "KestlesEngine/platform/DesktopLayer.hpp"
#include "KestlesEngine/x11/X11Accessibility.hpp"
#include "KestlesEngine/x11/X11AppOpener.hpp"
#include "KestlesEngine/x11/X11Catalog.hpp"
#include "KestlesEngine/x11/X11Events.hpp"
#include "KestlesEngine/x11/X11Screens.hpp"
#include "KestlesEngine/x11/X11Session.hpp"
#include "KestlesEngine/x11/X11WindowServer.hpp"
#include "KestlesEngine/x11/X11Workspace.hpp"

namespace kestles::x11 {

/// The X session behind the engine's interfaces: one connection for requests, shared by the
/// parts, and one event thread on a second connection for notifications.
class X11Layer final : public platform::DesktopLayer {
 public:
  /// Connects to `display` (nothing: $DISPLAY); nothing when the server cannot be reached.
  static std::unique_ptr<X11Layer> open(const std::optional<std::string>& display = {});
  ~X11Layer() override;

  platform::LayerParts parts() override;
  void onGone(std::function<void()> gone) override;

  /// Takes the keyboard's parts, which have connections of their own and are only opened by
  /// the running app (a one-shot command needs no keys); until then hot keys cannot be
  /// registered (their registrations fail with a non-zero status) and no input is ever seen.
  void adoptKeyboard(std::unique_ptr<platform::HotKeyService> hotKeys,
                     std::unique_ptr<platform::InputMonitor> input);

  /// Round trips made so far on the request connection.
  std::uint64_t roundTrips();

 private:
  explicit X11Layer(std::unique_ptr<X11Connection> connection);

  X11Session session_;
  X11Accessibility ax_{session_};
  X11WindowServer windowServer_{session_};
  X11Workspace workspace_{session_};
  X11Screens screens_{session_};
  X11AppOpener opener_{session_};
  X11Catalog catalog_;
  std::unique_ptr<platform::HotKeyService> hotKeys_;
  std::unique_ptr<platform::InputMonitor> input_;
  platform::GoneSignal gone_;
  std::unique_ptr<X11Events> events_;  // last: stopped before the parts it calls go
};

}  // namespace kestles::x11
