#pragma once

#include <xcb/xcb.h>

#include <functional>
#include <thread>

namespace kestles::x11 {

/// Hands one connection's events to a handler on a thread of its own, until stopped or
/// until the connection breaks. Other threads may send requests on the connection
/// meanwhile (XCB is thread-safe).
class X11KeyEvents {
 public:
  using Handler = std::function<void(const xcb_generic_event_t& event)>;

  /// Starts the thread at once; `root` is the screen the wake-up window is made on.
  X11KeyEvents(xcb_connection_t* connection, xcb_window_t root, Handler handler);
  /// Stops the thread.
  ~X11KeyEvents();
  X11KeyEvents(const X11KeyEvents&) = delete;
  X11KeyEvents& operator=(const X11KeyEvents&) = delete;

  /// Stops the thread and waits for it; the handler is not called afterwards.
  void stop();

 private:
  void run();

  xcb_connection_t* connection_;
  xcb_window_t wakeWindow_;
  Handler handler_;
  std::thread thread_;
};

}  // namespace kestles::x11
