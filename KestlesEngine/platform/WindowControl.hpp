#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/world/AppSnapshot.hpp"
#include "KestlesCore/world/WindowSnapshot.hpp"

namespace kestles::platform {

/// The standard windows of the current desktop and the apps that own them.
struct WindowList {
  std::vector<WindowSnapshot> windows;  // apps in app order, each app's windows in its order
  std::vector<AppSnapshot> apps;
  std::optional<std::uint32_t> focusedWindow;
  std::int64_t onScreenCount = 0;  // windows with a zIndex below this were on screen

  bool operator==(const WindowList&) const = default;
};

/// One window and the outer frame it is asked to take.
struct WindowMove {
  std::uint32_t window = 0;
  CGRect frame;
};

/// Reads and changes windows. Failures are values: a window that is gone gives nothing or
/// false, never an exception.
class WindowControl {
 public:
  virtual ~WindowControl() = default;
  virtual WindowList windows() = 0;
  /// Moves each window's outer frame to its rectangle and returns where each landed
  /// (windows refuse sizes); nothing for a window that is gone.
  virtual std::vector<std::optional<CGRect>> place(std::span<const WindowMove> moves) = 0;
  /// Minimizes (true) or restores (false); true once the window is in that state.
  virtual bool setMinimized(std::uint32_t window, bool minimized) = 0;
  /// Brings the window to the front without focusing it.
  virtual bool raise(std::uint32_t window) = 0;
  /// Restores, raises and focuses; false when the window did not take the focus.
  virtual bool focus(std::uint32_t window) = 0;
  virtual bool setFullScreen(std::uint32_t window, bool fullScreen) = 0;
};

}  // namespace kestles::platform
