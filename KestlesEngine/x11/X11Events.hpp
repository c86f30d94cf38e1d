#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <thread>

#include "KestlesEngine/platform/Workspace.hpp"
#include "KestlesEngine/x11/X11Session.hpp"

namespace kestles::x11 {

/// Watches the X session on a connection of its own, on a thread of its own, and turns what
/// it sees into notifications: a window created, destroyed, minimized or restored (per pid,
/// for the accessibility observers), an app launched or terminated when the first window of
/// a pid comes or its last one goes, a Space change when `_NET_CURRENT_DESKTOP` changes, a
/// window's full-screen change when its `_NET_WM_STATE` gains or loses the full-screen state,
/// a display change, and the end of the session when the server goes away.
///
/// Cues are `SubstructureNotify` and `PropertyNotify` on the root and `PropertyNotify` on
/// each client; on each batch of cues the client list is read again and compared with the
/// last one, so a desktop switch (which unmaps every frame) loses no window: a window is
/// gone only when it leaves the list. Displays change on RandR's screen and output events and
/// on a ConfigureNotify of the root (which is all that `xrandr --setmonitor` and
/// `--delmonitor` send), and their free areas when the window manager changes
/// `_NET_WORKAREA`; each batch of such cues is one notification.
class X11Events {
 public:
  struct Listener {
    std::function<void(std::int32_t pid, xcb_window_t window, std::string_view name)> window;
    std::function<void(const platform::WorkspaceNotification&)> workspace;
    std::function<void()> displays;  // the displays may have changed
    std::function<void()> gone;      // the server went away; called once
  };

  /// Reads the session as it is now (no notifications for what is already there) and starts
  /// the thread; nothing when the second connection cannot be made.
  static std::unique_ptr<X11Events> start(const std::optional<std::string>& display,
                                          X11Session& session, Listener listener);
  /// Stops the thread.
  ~X11Events();
  X11Events(const X11Events&) = delete;
  X11Events& operator=(const X11Events&) = delete;

 private:
  struct Tracked {
    std::int32_t pid = 0;
    bool minimized = false;
    bool fullScreen = false;
  };

  X11Events(std::unique_ptr<X11Connection> connection, X11Session& session, Listener listener);
  void run();
  /// Reads the clients again and notifies what changed; `announce` false only records.
  void rescan(bool announce);
  /// Launches and terminations: pids that came or went since the last scan.
  void notifyApps(Desktop& desktop, const std::map<xcb_window_t, Tracked>& seen, bool announce);

  std::unique_ptr<X11Connection> connection_;
  X11Session& session_;
  Listener listener_;
  std::map<xcb_window_t, Tracked> windows_;
  std::map<std::int32_t, platform::RunningApplication> apps_;
  std::optional<std::uint32_t> currentDesktop_;
  std::uint8_t randrEvents_ = 0;  // the first event number of RandR; 0 without it
  int wake_[2] = {-1, -1};
  std::thread thread_;
};

}  // namespace kestles::x11
