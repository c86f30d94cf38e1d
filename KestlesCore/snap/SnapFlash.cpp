#include "KestlesCore/snap/SnapFlash.hpp"

#include <array>

#include "KestlesCore/snap/Snapper.hpp"

namespace kestles {
namespace {

// In case order, beside the titles of the action table.
constexpr std::array<std::string_view, kSnapActionCount> kSymbols{
    "rectangle.lefthalf.filled",
    "rectangle.righthalf.filled",
    "rectangle.tophalf.filled",
    "rectangle.bottomhalf.filled",
    "rectangle.inset.topleft.filled",
    "rectangle.inset.topright.filled",
    "rectangle.inset.bottomleft.filled",
    "rectangle.inset.bottomright.filled",
    "rectangle.leadingthird.inset.filled",
    "rectangle.center.inset.filled",
    "rectangle.trailingthird.inset.filled",
    "rectangle.leadinghalf.inset.filled",
    "rectangle.trailinghalf.inset.filled",
    "rectangle.inset.filled",
    "square.dashed.inset.filled",
    "rectangle.arrowtriangle.2.outward",
    "rectangle.portrait.arrowtriangle.2.outward",
    "dot.square",
    "square.arrowtriangle.4.outward",
    "arrow.uturn.backward.square",
    "rectangle.righthalf.inset.filled.arrow.right",
    "rectangle.lefthalf.inset.filled.arrow.left",
    "arrow.left.square",
    "arrow.right.square",
    "arrow.up.square",
    "arrow.down.square",
    "arrow.up.left.and.arrow.down.right",
    "arrow.down.right.and.arrow.up.left",
};

SnapFlash::Label ownLabel(SnapAction action) {
  return {std::string(title(action)), std::string(SnapFlash::symbolName(action))};
}

}  // namespace

std::string_view SnapFlash::symbolName(SnapAction action) {
  return kSymbols[static_cast<std::size_t>(action)];
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

}  // namespace kestles
