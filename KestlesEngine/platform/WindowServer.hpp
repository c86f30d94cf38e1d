#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "KestlesCore/geometry/CGRect.hpp"

namespace kestles::platform {

/// The window server's list of windows: ids, owners and bounds, without asking the apps.
class WindowServer {
 public:
  /// One entry of the list (normal layer only; entries the layer cannot parse are left out).
  struct Window {
    std::uint32_t id = 0;
    std::int32_t pid = 0;
    CGRect frame;
    bool operator==(const Window&) const = default;
  };

  virtual ~WindowServer() = default;
  /// The on-screen windows, front to back; nothing when the list cannot be had.
  virtual std::optional<std::vector<Window>> onScreenWindows() = 0;
  /// The window with this number, on screen or not; nothing when there is none.
  virtual std::optional<Window> windowWithID(std::uint32_t id) = 0;
  /// Every window number the server knows.
  virtual std::vector<std::uint32_t> allWindowNumbers() = 0;
};

/// The frontmost window of `list` (front to back) whose bounds contain the point, skipping
/// the windows of `ownPID`; nothing when none does.
std::optional<WindowServer::Window> windowAt(std::span<const WindowServer::Window> list,
                                             CGPoint point, std::int32_t ownPID);

}  // namespace kestles::platform
