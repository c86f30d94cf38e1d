#pragma once

#include <cstdint>
#include <optional>

#include "KestlesApp/CommandRunner.hpp"
#include "KestlesApp/SnapFeedback.hpp"
#include "KestlesCore/world/World.hpp"
#include "KestlesEngine/engine/Conductor.hpp"
#include "KestlesEngine/platform/WindowDrags.hpp"

namespace kestles::app {

/// Follows the windows the user drags: shows the zone a drop would fill while the pointer
/// moves, and hands the drop to the runner, which plans it against the world from when the
/// drag began (so that undo puts the window back there). Main context only.
class DragSnapping {
 public:
  struct Services {
    engine::Conductor& conductor;
    CommandRunner& runner;
    SnapFeedback* feedback;  // null: no zone is shown, drops still snap
  };

  explicit DragSnapping(Services services) : services_(services) {}

  /// Takes one step of a drag. Only moves are followed; a resize, or a window that is not one
  /// the snapshots list, is left to the window manager.
  void follow(const platform::WindowDragEvent& event);

 private:
  struct Drag {
    std::uint32_t window = 0;
    World before;
  };
  void aim(CGPoint pointer);

  Services services_;
  std::optional<Drag> drag_;
};

}  // namespace kestles::app
