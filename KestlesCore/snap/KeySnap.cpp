#include "KestlesCore/snap/KeySnap.hpp"

#include <algorithm>

#include "KestlesCore/snap/Snapper.hpp"

namespace kestles {
namespace {

KeySnap::Plan movingTo(const KeySnap::Planner& planner, const CGRect& frame,
                       const std::string& displayID) {
  KeySnap::Plan plan;
  plan.window = planner.window;
  plan.frames.emplace(planner.window, frame);
  plan.frame = frame;
  plan.displayID = displayID;
  return plan;
}

std::optional<KeySnap::Plan> onDisplay(const KeySnap::Planner& planner,
                                       std::optional<CGRect> frame) {
  if (!frame) return std::nullopt;
  return movingTo(planner, *frame, planner.display.id);
}

std::optional<KeySnap::Plan> restored(const KeySnap::Planner& planner) {
  auto entry = planner.memory.entry(planner.window);
  if (!entry) return std::nullopt;
  // A frame left on no display (its display was disconnected) is not given back: the window
  // would vanish off screen.
  auto display = planner.setup.display(entry->original);
  if (!display || display->frame.intersectionArea(entry->original) <= 0) return std::nullopt;
  auto plan = movingTo(planner, entry->original, display->id);
  plan.forgets = true;
  return plan;
}

std::optional<KeySnap::Plan> carried(const KeySnap::Planner& planner, int direction) {
  auto order = KeySnap::displayOrder(planner.setup);
  if (order.size() < 2) return std::nullopt;
  auto here = std::find_if(order.begin(), order.end(),
                           [&](const DisplayInfo& d) { return d.id == planner.display.id; });
  if (here == order.end()) return std::nullopt;
  auto count = static_cast<std::ptrdiff_t>(order.size());
  auto index = ((here - order.begin()) + direction + count) % count;
  const DisplayInfo& target = order[static_cast<std::size_t>(index)];
  return movingTo(planner,
                  Snapper::carried(planner.frame, planner.display.visibleFrame, target.visibleFrame,
                                   planner.gaps),
                  target.id);
}

std::optional<KeySnap::Plan> filled(const KeySnap::Planner& planner) {
  std::vector<CGRect> others;
  others.reserve(planner.sessionFrames.size());
  for (const auto& [window, frame] : planner.sessionFrames)
    if (window != planner.window) others.push_back(frame);
  return onDisplay(planner, Snapper::fillSpace(planner.frame, others, planner.display.visibleFrame,
                                               planner.gaps));
}

}  // namespace

void KeySnap::Plan::record(SnapMemory& memory, const CGRect& previous) const {
  if (forgets)
    memory.forget(window);
  else
    memory.remember(window, previous, frame);
  for (const auto& [other, moved] : frames)
    if (other != window) memory.updateFrame(other, moved);
}

std::optional<KeySnap::Plan> KeySnap::plan(SnapAction action, const Planner& planner) {
  // Free windows only: a window in its display's live tiles needs the tiling's own operations
  // (zoom, swap, split), which this planner does not make yet.
  switch (action) {
    case SnapAction::fillSpace:
      return filled(planner);
    case SnapAction::restore:
      return restored(planner);
    case SnapAction::nextDisplay:
      return carried(planner, 1);
    case SnapAction::previousDisplay:
      return carried(planner, -1);
    case SnapAction::moveLeft:
    case SnapAction::moveRight:
    case SnapAction::moveUp:
    case SnapAction::moveDown:
    case SnapAction::larger:
    case SnapAction::smaller:
      return onDisplay(planner, Snapper::frame(action, planner.frame, planner.display.visibleFrame,
                                               planner.gaps));
    default: {
      auto frame =
          Snapper::frame(action, planner.frame, planner.display.visibleFrame, planner.gaps);
      if (frame && Snapper::edgesWithin(*frame, planner.frame, Snapper::placeTolerance))
        return std::nullopt;
      return onDisplay(planner, frame);
    }
  }
}

std::optional<KeySnap::Plan> KeySnap::push(TileEdge edge, const Planner& planner) {
  return onDisplay(planner, Snapper::pushEdge(edge, planner.frame, planner.display.visibleFrame,
                                              planner.gaps.outer));
}

std::vector<DisplayInfo> KeySnap::displayOrder(const DisplaySetup& setup) {
  auto order = setup.displays;
  std::stable_sort(order.begin(), order.end(), [](const DisplayInfo& a, const DisplayInfo& b) {
    if (a.frame.minX() != b.frame.minX()) return a.frame.minX() < b.frame.minX();
    return a.frame.minY() < b.frame.minY();
  });
  return order;
}

}  // namespace kestles
