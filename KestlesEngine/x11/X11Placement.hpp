#pragma once

#include <chrono>
#include <optional>
#include <span>
#include <vector>

#include "KestlesEngine/x11/X11Connection.hpp"
#include "KestlesEngine/x11/X11Desktop.hpp"

namespace kestles::x11 {

/// One window and the outer frame it is asked to take.
struct Placement {
  xcb_window_t window = XCB_WINDOW_NONE;
  Box frame;
};

/// Placement waits for windows to land while the manager keeps answering, up to the limit;
/// after the quiet time without an event it reads where they are.
inline constexpr std::chrono::milliseconds kLandingQuiet{100};
inline constexpr std::chrono::milliseconds kLandingLimit{1000};

/// The outer frame a window should land at when asked for `target`: its size hints applied
/// the way a window manager applies them (with one), or exactly `target` (without one).
Box expectedLanding(const ClientWindow& client, const Box& target, bool hasWindowManager);

/// Where a window would land by a manager that rounds its size to the client's increments,
/// and by one that applies only the other hints (minimum, maximum, gravity).
struct ForeseenLanding {
  Box rounded;
  Box unrounded;
};

/// Each window's `ForeseenLanding`, read in one round trip; nothing for a window that is gone.
std::vector<std::optional<ForeseenLanding>> foreseeLandings(X11Connection& connection,
                                                            std::span<const Placement> placements);

/// The client geometry to request so that the outer frame lands at `target`, in the
/// client's own gravity: x, y as the manager reads them for that gravity, and the size.
Box requestFor(const ClientWindow& client, const Box& target);

/// Puts each window's outer frame at its rectangle, leaving maximized state first, and
/// returns where each one landed (nothing: the window is gone). Requests for all windows go
/// out together; the call returns once every window has landed where its size hints put it
/// (or exactly at its rectangle, for managers that do not apply increments), or when the
/// manager has stopped answering (`kLandingQuiet`, `kLandingLimit`), reading the
/// frames back either way.
std::vector<std::optional<Box>> placeWindows(X11Connection& connection,
                                             std::span<const Placement> placements);

/// Asks for one window's frame without waiting for it to land: a glide's in-between frames
/// follow each other faster than a manager answers. False when the window is gone.
bool requestPlacement(X11Connection& connection, const Placement& placement);

}  // namespace kestles::x11
