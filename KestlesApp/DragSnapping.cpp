#include "KestlesApp/DragSnapping.hpp"

#include <algorithm>
#include <utility>

#include "KestlesCore/session/DropPlan.hpp"

namespace kestles::app {

using Phase = platform::WindowDragEvent::Phase;

void DragSnapping::follow(const platform::WindowDragEvent& event) {
  switch (event.phase) {
    case Phase::began: {
      drag_.reset();
      if (event.kind != WindowDragKind::move) return;
      auto world = services_.conductor.snapshot();
      auto dragged = std::find_if(world.windows.begin(), world.windows.end(),
                                  [&](const auto& window) { return window.id == event.window; });
      if (dragged == world.windows.end()) return;
      // The snapshot comes a moment into the drag: the drop is planned, and undone, from
      // where the window was before the drag.
      dragged->frame = event.start;
      drag_ = Drag{event.window, std::move(world)};
      return aim(event.pointer);
    }
    case Phase::moved:
      if (drag_ && drag_->window == event.window) aim(event.pointer);
      return;
    case Phase::ended: {
      if (!drag_ || drag_->window != event.window) return;
      auto drag = std::exchange(drag_, std::nullopt);
      if (services_.feedback) services_.feedback->aim(std::nullopt);
      services_.runner.drop(drag->window, event.pointer, drag->before);
      return;
    }
  }
}

void DragSnapping::aim(CGPoint pointer) {
  if (!services_.feedback) return;
  auto plan = DropPlan::make(pointer, drag_->window, drag_->before,
                             services_.runner.library().settings, services_.runner.state());
  services_.feedback->aim(plan.zone);
}

}  // namespace kestles::app
