#pragma once

#include <xcb/xcb.h>

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "KestlesEngine/platform/WindowDrags.hpp"
#include "KestlesEngine/x11/X11Connection.hpp"
#include "KestlesEngine/x11/X11KeyEvents.hpp"

namespace kestles::x11 {

/// The window manager's interactive moves and resizes, seen from outside the manager, on a
/// connection and an event thread of their own. The first button's raw presses and releases
/// (XInput 2, whichever client has the pointer) frame a possible drag; the top-level window
/// (the manager's frame) pressed on is being dragged once the root's structure events show it
/// changing place or size while the button is held; raw motion then reports the pointer until the
/// release. Nothing is polled: a click that moves no window reports nothing.
class X11Drags final : public platform::WindowDrags {
 public:
  /// Connects to `display` (nothing: $DISPLAY); nothing when the server cannot be reached or
  /// lacks XInput 2.
  static std::unique_ptr<X11Drags> open(const std::optional<std::string>& display = {});
  ~X11Drags() override;
  X11Drags(const X11Drags&) = delete;
  X11Drags& operator=(const X11Drags&) = delete;

  void onDrag(Handler handler) override;

 private:
  struct Drag {
    xcb_window_t frame = 0;
    platform::WindowDragEvent event;
  };

  X11Drags(std::unique_ptr<X11Connection> connection, std::uint8_t inputOpcode);
  void handle(const xcb_generic_event_t& event);
  void configured(const xcb_configure_notify_event_t& event);
  /// The client window inside a top-level window (the window itself when it is a client);
  /// nothing when it holds none of the manager's clients.
  std::optional<xcb_window_t> clientIn(xcb_window_t frame);
  std::optional<CGPoint> pointer();
  /// Notes the place of the top-level window under the pointer as the button goes down: the
  /// window a drag then moves began there.
  void noteFrameUnderPointer();
  void deliver(const platform::WindowDragEvent& event);

  std::unique_ptr<X11Connection> connection_;
  std::uint8_t inputOpcode_;
  // Held while the handler runs, so that a handler replaced is never called afterwards.
  std::recursive_mutex delivery_;
  Handler handler_;  // under `delivery_`
  // The event thread's alone:
  bool held_ = false;
  std::map<xcb_window_t, CGRect> seen_;  // the frame pressed on, where it was last seen
  std::optional<Drag> drag_;
  std::unique_ptr<X11KeyEvents> events_;  // last: stopped before the state it uses goes
};

}  // namespace kestles::x11
