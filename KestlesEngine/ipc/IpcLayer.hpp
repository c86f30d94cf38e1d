#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "KestlesEngine/ipc/IpcAccessibility.hpp"
#include "KestlesEngine/ipc/IpcAppOpener.hpp"
#include "KestlesEngine/ipc/IpcEvents.hpp"
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
  std::unique_ptr<platform::HotKeyService> hotKeys_;
  std::unique_ptr<platform::InputMonitor> input_;
  platform::GoneSignal gone_;
  std::unique_ptr<IpcEvents> events_;  // last: stopped before the parts it calls go
};

}  // namespace kestles::ipc
