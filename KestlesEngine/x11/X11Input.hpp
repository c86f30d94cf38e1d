#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "KestlesEngine/platform/InputMonitor.hpp"
#include "KestlesEngine/x11/X11Connection.hpp"
#include "KestlesEngine/x11/X11KeyEvents.hpp"
#include "KestlesEngine/x11/X11KeyMapping.hpp"
#include "KestlesEngine/x11/X11KeyTimeline.hpp"

namespace kestles::x11 {

/// Asks for XInput 2.2 and the raw events of `eventMask` from every master device on the
/// root; the extension's major opcode, or nothing without it.
std::optional<std::uint8_t> selectRawEvents(X11Connection& connection, std::uint32_t eventMask);

/// The session's input as XInput 2 raw events on the root, on a connection and an event
/// thread of its own: raw events arrive whichever client has focus, even while another
/// client grabs the keyboard. Modifier keys become flags-changed events (stored key codes,
/// device-independent flags); other keys, clicks and scrolls are remembered per kind.
/// Handlers run on the event thread.
class X11InputMonitor final : public platform::InputMonitor {
 public:
  /// Connects to `display` (nothing: $DISPLAY); nothing when the server cannot be reached or
  /// lacks XInput 2 or XKB.
  static std::unique_ptr<X11InputMonitor> open(const std::optional<std::string>& display = {});
  ~X11InputMonitor() override;

  std::uint64_t addFlagsChangedMonitor(Handler handler) override;
  void removeMonitor(std::uint64_t token) override;
  /// Seconds on this machine's monotonic clock, the line event times are placed on.
  double systemUptime() override;
  /// Since the last input of the kind; input never seen counts as at uptime 0.
  double secondsSinceLastEvent(platform::InputKind kind) override;

 private:
  X11InputMonitor(std::unique_ptr<X11Connection> connection, std::unique_ptr<X11KeyMapping> mapping,
                  std::uint8_t inputOpcode);
  void handle(const xcb_generic_event_t& event);
  void key(xcb_keycode_t keycode, bool pressed, double at);
  void button(std::uint32_t button, double at);

  std::unique_ptr<X11Connection> connection_;
  std::uint8_t inputOpcode_;
  // Held while monitors are told, so that a monitor removed is never called afterwards (its
  // owner may be gone); recursive, so that a monitor may remove itself.
  std::recursive_mutex delivery_;
  std::mutex mutex_;  // guards everything below
  std::unique_ptr<X11KeyMapping> mapping_;
  X11KeyTimeline timeline_;
  std::map<std::uint64_t, Handler> monitors_;
  std::uint64_t nextToken_ = 1;
  std::map<xcb_keycode_t, std::uint64_t> heldModifiers_;  // key down -> its flag
  std::map<platform::InputKind, double> last_;
  std::unique_ptr<X11KeyEvents> events_;
};

}  // namespace kestles::x11
