#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "KestlesEngine/ipc/IpcAccessibility.hpp"
#include "KestlesEngine/ipc/IpcAppOpener.hpp"
#include "KestlesEngine/ipc/IpcEvents.hpp"
#include "KestlesEngine/ipc/IpcHotKeys.hpp"
#include "KestlesEngine/ipc/IpcScreens.hpp"
#include "KestlesEngine/ipc/IpcSession.hpp"
#include "KestlesEngine/ipc/IpcWindowServer.hpp"
#include "KestlesEngine/ipc/IpcWorkspace.hpp"
#include "KestlesEngine/platform/DesktopLayer.hpp"
#include "KestlesEngine/x11/X11Catalog.hpp"

namespace kestles::ipc {

/// Which compositor speaks on the socket.
enum class Compositor { sway, i3 };

/// A sway or i3 session behind the engine's interfaces: one connection for requests, shared
/// by the parts, and one event thread on a second connection for notifications.
class IpcLayer final : public platform::DesktopLayer {
 public:
  /// Connects to the socket at `path`; nothing when nothing answers there.
  static std::unique_ptr<IpcLayer> open(const std::string& path);
  ~IpcLayer() override;

  platform::LayerParts parts() override;
  void onGone(std::function<void()> gone) override;

  /// Which compositor answered (from its version reply).
  Compositor compositor() const { return compositor_; }
  /// Drops the tree kept for the next reads, as an event does.
  void forgetTree() { session_.invalidate(); }
  /// Round trips made so far on the request connection.
  std::uint64_t roundTrips() { return session_.roundTrips(); }

  /// Hands over the running app's key names: its keys are then bound in the compositor (sway,
  /// which takes bindings over the socket). Only the running app calls this.
  void adoptKeyNames(IpcHotKeys::KeyNames names) { bindings_.setKeyNames(std::move(names)); }
  /// Hands over hot keys and input of another kind (i3 runs on an X server, whose key grabs
  /// serve it better than bindings, which i3 takes only from its config); null parts are kept.
  /// Only before the engine takes the parts.
  void adoptKeyboard(std::unique_ptr<platform::HotKeyService> hotKeys,
                     std::unique_ptr<platform::InputMonitor> input);

 private:
  explicit IpcLayer(std::unique_ptr<IpcConnection> connection, Compositor compositor);

  Compositor compositor_;
  IpcSession session_;
  IpcAccessibility ax_{session_};
  IpcWindowServer windowServer_{session_};
  IpcWorkspace workspace_{session_};
  IpcScreens screens_{session_};
  x11::X11Catalog catalog_;
  IpcAppOpener opener_{session_, catalog_};
  IpcHotKeys bindings_;
  std::unique_ptr<platform::HotKeyService> hotKeys_;  // null: the bindings serve
  std::unique_ptr<platform::InputMonitor> input_;
  platform::GoneSignal gone_;
  std::unique_ptr<IpcEvents> events_;  // last: stopped before the parts it calls go
};

}  // namespace kestles::ipc
