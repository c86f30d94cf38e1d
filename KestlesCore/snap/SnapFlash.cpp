#include "KestlesCore/snap/SnapFlash.hpp"

#include "KestlesCore/snap/Snapper.hpp"

namespace kestles {
namespace {

SnapFlash::Label ownLabel(SnapAction action) {
  return {std::string(title(action)), std::string(SnapFlash::symbolName(action))};
}

}  // namespace

std::string_view SnapFlash::symbolName(SnapAction action) {
  using A = SnapAction;
  switch (action) {
    case A::leftHalf:
      return "rectangle.lefthalf.filled";
    case A::rightHalf:
      return "rectangle.righthalf.filled";
    case A::topHalf:
      return "rectangle.tophalf.filled";
    case A::bottomHalf:
      return "rectangle.bottomhalf.filled";
    case A::topLeft:
      return "rectangle.inset.topleft.filled";
    case A::topRight:
      return "rectangle.inset.topright.filled";
    case A::bottomLeft:
      return "rectangle.inset.bottomleft.filled";
    case A::bottomRight:
      return "rectangle.inset.bottomright.filled";
    case A::firstThird:
      return "rectangle.leadingthird.inset.filled";
    case A::centerThird:
      return "rectangle.center.inset.filled";
    case A::lastThird:
      return "rectangle.trailingthird.inset.filled";
    case A::firstTwoThirds:
      return "rectangle.leadinghalf.inset.filled";
    case A::lastTwoThirds:
      return "rectangle.trailinghalf.inset.filled";
    case A::maximize:
      return "rectangle.inset.filled";
    case A::almostMaximize:
      return "square.dashed.inset.filled";
    case A::maximizeHeight:
      return "rectangle.arrowtriangle.2.outward";
    case A::maximizeWidth:
      return "rectangle.portrait.arrowtriangle.2.outward";
    case A::center:
      return "dot.square";
    case A::fillSpace:
      return "square.arrowtriangle.4.outward";
    case A::restore:
      return "arrow.uturn.backward.square";
    case A::nextDisplay:
      return "rectangle.righthalf.inset.filled.arrow.right";
    case A::previousDisplay:
      return "rectangle.lefthalf.inset.filled.arrow.left";
    case A::moveLeft:
      return "arrow.left.square";
    case A::moveRight:
      return "arrow.right.square";
    case A::moveUp:
      return "arrow.up.square";
    case A::moveDown:
      return "arrow.down.square";
    case A::larger:
      return "arrow.up.left.and.arrow.down.right";
    case A::smaller:
      return "arrow.down.right.and.arrow.up.left";
  }
  return "";
}

SnapFlash::Label SnapFlash::label(const KeySnap::Plan& plan, SnapAction action,
                                  const DisplaySetup& setup, const Gaps& gaps) {
  if (plan.zooms) {
    if (*plan.zooms) return {"Zoom", "arrow.up.left.and.arrow.down.right"};
    return {"Back to Tile", "arrow.down.right.and.arrow.up.left"};
  }
  if (!Snapper::isPlace(action)) return ownLabel(action);
  auto display = setup.displayWithID(plan.displayID);
  if (!display) return ownLabel(action);
  auto place = Snapper::matchingPlace(plan.frame, display->visibleFrame, gaps);
  return ownLabel(place.value_or(action));
}

SnapFlash::Shown SnapFlash::shown(SnapAction action, std::uint32_t window, const CGRect& frame,
                                  const Tilings& before, const Tilings& after,
                                  const DisplaySetup& setup, const Gaps& gaps) {
  KeySnap::Plan plan;
  plan.window = window;
  plan.frame = frame;
  auto display = setup.display(CGPoint{frame.midX(), frame.midY()});
  if (display) plan.displayID = display->id;
  const Tiling* was = tilingHolding(before, window);
  const Tiling* is = tilingHolding(after, window);
  bool wasZoomed = was && was->zoomed == window;
  bool isZoomed = is && is->zoomed == window;
  if (isZoomed != wasZoomed) plan.zooms = isZoomed;
  Shown flash{label(plan, action, setup, gaps), frame, {}};
  if (is && display && !isZoomed)
    for (const auto& [id, tile] : is->frames(display->visibleFrame, gaps))
      if (id != window) flash.context.push_back(tile);
  return flash;
}

}  // namespace kestles
