#pragma once

#include <chrono>
#include <optional>
#include <span>

#include "KestlesEngine/x11/X11Connection.hpp"

namespace kestles::x11 {

/// An action waits for the window manager to show its effect while the manager keeps
/// answering, up to the limit, giving up after the quiet time without an event.
inline constexpr std::chrono::milliseconds kActionQuiet{250};
inline constexpr std::chrono::milliseconds kActionLimit{2000};

/// Minimizes a window (`WM_CHANGE_STATE` Iconic, falling back to adding
/// `_NET_WM_STATE_HIDDEN` when the manager ignores it; unmapping without a manager).
/// True once the window is minimized.
bool minimizeWindow(X11Connection& connection, xcb_window_t window);

/// Restores, raises and focuses a window (`_NET_ACTIVE_WINDOW` from a tool with the given
/// timestamp; map, restack and set the input focus without a manager). True once the window
/// is shown and active; a window that declines input is raised and reported not focused.
bool activateWindow(X11Connection& connection, xcb_window_t window,
                    xcb_timestamp_t timestamp = XCB_CURRENT_TIME);

/// Puts a window above its siblings without focusing it (`_NET_RESTACK_WINDOW`, or a
/// restack without a manager). True when the request was made for a window that exists.
bool raiseWindow(X11Connection& connection, xcb_window_t window);

/// Raises the windows in this order, the last in front, and leaves the focus on `focus`, or
/// where it was when there is none: every request goes out at once (`_NET_ACTIVE_WINDOW` as
/// a user's own action, with the server's time, which managers that ignore a tool's raise
/// still honour), then one wait for the manager to show the order. Without a manager the
/// windows are restacked and focused directly. Windows that are gone are skipped. False when
/// the manager did not show the order (and focus) before it fell quiet.
bool raiseInOrder(X11Connection& connection, std::span<const xcb_window_t> order,
                  std::optional<xcb_window_t> focus);

/// Turns full screen on or off (`_NET_WM_STATE_FULLSCREEN`). True once the window is in the
/// state asked for; always false without a manager, which has no such state.
bool setFullScreen(X11Connection& connection, xcb_window_t window, bool on);

}  // namespace kestles::x11
