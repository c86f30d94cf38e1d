#pragma once

#include <string>
#include <string_view>

#include "KestlesCore/display/DisplaySetup.hpp"
#include "KestlesCore/layout/Gaps.hpp"
#include "KestlesCore/snap/KeySnap.hpp"
#include "KestlesCore/snap/SnapAction.hpp"

namespace kestles {

/// The label flashed on screen after a snap.
struct SnapFlash {
  struct Label {
    std::string title;
    std::string symbolName;  // a system symbol image name
    bool operator==(const Label&) const = default;
  };

  /// "Zoom" or "Back to Tile" for a plan that zooms or unzooms; for a place, the place the
  /// planned frame is at on its display in `setup` (so a second press of a half shows where
  /// the cycle went); otherwise the action's own title and symbol.
  static Label label(const KeySnap::Plan& plan, SnapAction action, const DisplaySetup& setup,
                     const Gaps& gaps);
  /// The symbol shown for an action ("rectangle.lefthalf.filled").
  static std::string_view symbolName(SnapAction action);
};

}  // namespace kestles
