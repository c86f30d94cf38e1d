#pragma once

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kestles::x11 {

/// The atoms the layer uses, interned once per connection.
enum class Atom : std::size_t {
  utf8String,
  wmName,
  wmClass,
  wmState,
  wmChangeState,
  wmTransientFor,
  wmNormalHints,
  wmHints,
  netSupported,
  netSupportingWmCheck,
  netClientList,
  netClientListStacking,
  netCurrentDesktop,
  netActiveWindow,
  netWmName,
  netWmPid,
  netWmDesktop,
  netWmState,
  netWmStateHidden,
  netWmStateFullscreen,
  netWmStateMaximizedVert,
  netWmStateMaximizedHorz,
  netWmStateSkipTaskbar,
  netWmWindowType,
  netWmWindowTypeNormal,
  netWmWindowTypeDialog,
  netWmWindowTypeDock,
  netWmWindowTypeDesktop,
  netWmWindowTypeUtility,
  netWmWindowTypeToolbar,
  netWmWindowTypeMenu,
  netWmWindowTypeSplash,
  netWmAllowedActions,
  netWmActionResize,
  netFrameExtents,
  netWmStrut,
  netWmStrutPartial,
  netWorkarea,
  netMoveresizeWindow,
  netRestackWindow,
  gtkApplicationId,
  kdeNetWmDesktopFile,
  edid,
  count
};

using Clock = std::chrono::steady_clock;

/// One connection to an X server with the layer's atoms and the root window.
/// Not thread-safe: one owner uses it at a time.
class X11Connection {
 public:
  /// Connects to `display` (nothing: $DISPLAY); nothing when the server cannot be reached.
  static std::unique_ptr<X11Connection> open(const std::optional<std::string>& display = {});
  ~X11Connection();
  X11Connection(const X11Connection&) = delete;
  X11Connection& operator=(const X11Connection&) = delete;

  xcb_connection_t* raw() const { return connection_; }
  xcb_window_t root() const { return screen_->root; }
  const xcb_screen_t& screen() const { return *screen_; }
  xcb_atom_t atom(Atom which) const { return atoms_[static_cast<std::size_t>(which)]; }

  /// Whether an EWMH window manager runs: `_NET_SUPPORTING_WM_CHECK` on the root names a
  /// window that names itself. Asked of the server on every call (one round trip).
  bool hasWindowManager();

  /// Counts one batch of replies collected after one flush; benchmarks read the total.
  void noteRoundTrip() { ++roundTrips_; }
  std::uint64_t roundTrips() const { return roundTrips_; }

  /// Sends a 32-bit client message about `window` to the root, as EWMH asks of pagers and tools.
  void sendToRoot(xcb_window_t window, xcb_atom_t type, std::array<std::uint32_t, 5> data);

  /// Waits until an event arrives or the deadline passes, discarding the events: callers use
  /// them only as a cue to read the state again. True when events arrived.
  bool waitForEvents(Clock::time_point deadline);

  /// Discards the events already received.
  void dropEvents();

  /// Sends the queued requests and waits until the server has handled them (one round trip).
  void sync();

  /// The server's time now, for requests a window manager honours only with a recent time
  /// (activation); `XCB_CURRENT_TIME` when the server does not answer. A zero-length change
  /// of a property on a window of the connection's own brings it back in its event. Events
  /// that arrive meanwhile are discarded, as `waitForEvents` does.
  xcb_timestamp_t serverTime();

 private:
  X11Connection(xcb_connection_t* connection, const xcb_screen_t* screen);
  void internAtoms();
  bool drainEvents();

  xcb_connection_t* connection_;
  const xcb_screen_t* screen_;
  std::array<xcb_atom_t, static_cast<std::size_t>(Atom::count)> atoms_{};
  std::uint64_t roundTrips_ = 0;
  xcb_window_t timeWindow_ = XCB_WINDOW_NONE;
};

/// How long to wait for a window manager's answer: while it keeps sending events about the
/// windows concerned, up to `limit`; once it has been quiet for `quiet`, it is not going to
/// answer (a request it ignores, or one that changes nothing, raises no event at all).
class Patience {
 public:
  Patience(std::chrono::milliseconds quiet, std::chrono::milliseconds limit)
      : quiet_(quiet), end_(Clock::now() + limit), lastEvent_(Clock::now()) {}

  /// Waits for the next events; false once it is time to give up.
  bool wait(X11Connection& connection) {
    auto until = std::min(end_, lastEvent_ + quiet_);
    if (Clock::now() >= until) return false;
    if (connection.waitForEvents(until)) lastEvent_ = Clock::now();
    return true;
  }

 private:
  std::chrono::milliseconds quiet_;
  Clock::time_point end_;
  Clock::time_point lastEvent_;
};

}  // namespace kestles::x11
