#pragma once

#include "KestlesEngine/platform/WindowServer.hpp"
#include "KestlesEngine/x11/X11Session.hpp"

namespace kestles::x11 {

/// The window list of the X session: the window manager's clients (the mapped top levels
/// without one) with their pids and outer frames.
class X11WindowServer final : public platform::WindowServer {
 public:
  explicit X11WindowServer(X11Session& session) : session_(session) {}

  /// The shown clients, front to back (`_NET_CLIENT_LIST_STACKING` reversed).
  std::optional<std::vector<Window>> onScreenWindows() override;
  /// Any client or top-level window with this id; nothing when it is gone or this
  /// process's own.
  std::optional<Window> windowWithID(std::uint32_t id) override;
  /// Every client of every desktop, in mapping order.
  std::vector<std::uint32_t> allWindowNumbers() override;

 private:
  X11Session& session_;
};

}  // namespace kestles::x11
