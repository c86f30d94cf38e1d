#pragma once

#include "KestlesEngine/ipc/IpcSession.hpp"
#include "KestlesEngine/platform/WindowServer.hpp"

namespace kestles::ipc {

/// The compositor's windows as the window server lists them. Front to back: the focused
/// window, then the floating ones (the later above the earlier), then the tiled ones, which
/// do not overlap.
class IpcWindowServer final : public platform::WindowServer {
 public:
  explicit IpcWindowServer(IpcSession& session) : session_(session) {}

  std::optional<std::vector<Window>> onScreenWindows() override;
  std::optional<Window> windowWithID(std::uint32_t id) override;
  std::vector<std::uint32_t> allWindowNumbers() override;

 private:
  IpcSession& session_;
};

/// The shown windows of the tree, front to back as `IpcWindowServer` orders them.
std::vector<platform::WindowServer::Window> frontToBack(const IpcTree& tree);

}  // namespace kestles::ipc
