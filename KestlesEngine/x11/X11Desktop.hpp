#pragma once

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesEngine/x11/DesktopEntries.hpp"
#include "KestlesEngine/x11/X11Connection.hpp"

namespace kestles::x11 {

/// A rectangle in the X server's integer pixels, y down.
struct Box {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool operator==(const Box&) const = default;
};

/// The same rectangle in the core's doubles.
inline CGRect rectOf(const Box& box) {
  return {double(box.x), double(box.y), double(box.width), double(box.height)};
}

/// What the window manager's frame adds around a client (`_NET_FRAME_EXTENTS`).
struct Extents {
  std::int32_t left = 0;
  std::int32_t right = 0;
  std::int32_t top = 0;
  std::int32_t bottom = 0;
  bool operator==(const Extents&) const = default;
};

/// The parts of `WM_NORMAL_HINTS` the layer uses, in client pixels; 0 means not given.
struct SizeHints {
  std::int32_t minWidth = 0;
  std::int32_t minHeight = 0;
  std::int32_t maxWidth = 0;
  std::int32_t maxHeight = 0;
  std::int32_t widthIncrement = 0;
  std::int32_t heightIncrement = 0;
  std::int32_t baseWidth = 0;
  std::int32_t baseHeight = 0;
  std::uint32_t gravity = XCB_GRAVITY_NORTH_WEST;
  bool operator==(const SizeHints&) const = default;

  /// Whether min and max pin the size.
  bool isFixed() const {
    return minWidth > 0 && minHeight > 0 && minWidth == maxWidth && minHeight == maxHeight;
  }
};

/// Windows that name no process (no `_NET_WM_PID`: xev and other plain X clients) still
/// belong to an app of their own: the X client connection that made them stands in for the
/// process. Its pid is this plus the connection's index, above every pid Linux gives out
/// (2^22 at most), so that it is never a real process's.
inline constexpr std::int32_t kFirstStandInPID = 1 << 30;

/// Whether the pid stands in for an X client connection rather than naming a process.
inline bool isStandInPID(std::int32_t pid) {
  return pid >= kFirstStandInPID;
}

/// The stand-in pid of the connection that made `window`: the bits of the window's id above
/// the server's resource-id mask tell which connection that was.
std::int32_t standInPID(const X11Connection& connection, xcb_window_t window);

/// Everything read about one top-level client window in the snapshot's single batch.
struct ClientWindow {
  xcb_window_t id = XCB_WINDOW_NONE;
  std::int32_t pid = 0;  // `_NET_WM_PID`, else the stand-in pid of the window's connection
  WindowIdentity identity;
  bool identityRead = false;  // whether `identity` was asked for (see `ClientParts`)
  std::string title;
  Box frame;  // the outer frame: client, border and the window manager's extents
  Extents extents;
  std::uint32_t borderWidth = 0;
  bool viewable = false;
  bool overrideRedirect = false;
  bool inputOnly = false;
  bool minimized = false;
  bool fullScreen = false;
  bool maximized = false;
  bool skipTaskbar = false;
  bool transient = false;
  bool acceptsInput = true;         // WM_HINTS input; a window that says false is never focused
  xcb_atom_t type = XCB_ATOM_NONE;  // the first window type this layer knows, if any
  std::optional<std::uint32_t> desktop;
  SizeHints hints;
  std::optional<bool> resizeAllowed;  // from _NET_WM_ALLOWED_ACTIONS when the manager sets it
  std::optional<std::array<std::uint32_t, 12>> strut;  // _NET_WM_STRUT_PARTIAL form, when read

  /// What the frame and border add to the client's width and height.
  std::int32_t decorationWidth() const {
    return extents.left + extents.right + 2 * static_cast<std::int32_t>(borderWidth);
  }
  std::int32_t decorationHeight() const {
    return extents.top + extents.bottom + 2 * static_cast<std::int32_t>(borderWidth);
  }

  /// Whether the window may be resized: the manager's allowed actions, else not fixed by hints.
  bool isResizable() const { return resizeAllowed.value_or(!hints.isFixed()); }
};

/// The root window's view of the desktop and its clients.
struct Desktop {
  bool hasWindowManager = false;
  std::vector<ClientWindow> clients;   // in mapping order; vanished windows left out
  std::vector<xcb_window_t> stacking;  // bottom to top
  std::uint32_t currentDesktop = 0;
  std::optional<xcb_window_t> activeWindow;
};

/// Which optional parts of a client to read.
struct ClientParts {
  bool struts = false;    // `_NET_WM_STRUT_PARTIAL` and `_NET_WM_STRUT`
  bool identity = false;  // WM_CLASS, the desktop-file hints and WM_NAME (see readIdentities)
};

/// Reads the desktop in a constant number of round trips (two, three when a window manager
/// has died and left its client list behind). Without a window manager the clients are the
/// root's mapped children in stacking order.
Desktop readDesktop(X11Connection& connection, ClientParts parts = {});

/// Reads the given windows in one pipelined round trip; windows that are gone are skipped.
std::vector<ClientWindow> readClients(X11Connection& connection,
                                      std::span<const xcb_window_t> windows,
                                      ClientParts parts = {});

/// Reads the identity (and, for windows without `_NET_WM_NAME`, the WM_NAME title) of
/// clients read without it, in one round trip.
void readIdentities(X11Connection& connection, std::span<ClientWindow* const> clients);

/// Where a window's outer frame is, and the extents it was computed with.
struct FrameReading {
  xcb_window_t id = XCB_WINDOW_NONE;
  Box frame;
  Extents extents;
};

/// Reads only the outer frames of the windows (three requests each, one round trip);
/// windows that are gone are skipped.
std::vector<FrameReading> readFrames(X11Connection& connection,
                                     std::span<const xcb_window_t> windows);

/// Whether a client is an app's ordinary top-level window (normal type, or none and not
/// transient; not skipped by task bars), whatever its state and desktop.
bool isAppWindow(const ClientWindow& client, const X11Connection& connection);

/// Whether a client is a standard window of the current desktop: an ordinary top-level
/// window (normal type, or none and not transient; not skipped by task bars), viewable or
/// minimized, on `currentDesktop` or on all desktops.
bool isStandard(const ClientWindow& client, const X11Connection& connection,
                std::uint32_t currentDesktop);

}  // namespace kestles::x11
