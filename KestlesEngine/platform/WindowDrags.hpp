#pragma once

#include <cstdint>
#include <functional>

#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/snap/WindowDragKind.hpp"

namespace kestles::platform {

/// One step of a window the user drags with the window manager's own move or resize.
struct WindowDragEvent {
  enum class Phase { began, moved, ended };
  Phase phase = Phase::began;
  std::uint32_t window = 0;  // the client window, as the window list names it
  WindowDragKind kind = WindowDragKind::move;
  CGPoint pointer;  // in the global display space
  CGRect start;     // the window's outer frame before the drag moved it
  bool operator==(const WindowDragEvent&) const = default;
};

/// The window manager's interactive moves and resizes, as they happen. A drag begins once
/// the window follows a held button, and ends when the button is released.
class WindowDrags {
 public:
  using Handler = std::function<void(const WindowDragEvent&)>;

  virtual ~WindowDrags() = default;
  /// Calls `handler` for every step of every drag, on a thread of the source's own (the
  /// receiver hops to its context). A later call replaces it; an empty one stops delivery,
  /// and once it returns the old handler is not called again.
  virtual void onDrag(Handler handler) = 0;
};

}  // namespace kestles::platform
