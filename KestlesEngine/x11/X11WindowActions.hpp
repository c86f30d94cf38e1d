#pragma once

#include <chrono>

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

/// Turns full screen on or off (`_NET_WM_STATE_FULLSCREEN`). True once the window is in the
/// state asked for; always false without a manager, which has no such state.
bool setFullScreen(X11Connection& connection, xcb_window_t window, bool on);

}  // namespace kestles::x11
