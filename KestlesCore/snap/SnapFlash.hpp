#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "KestlesCore/display/DisplaySetup.hpp"
#include "KestlesCore/layout/Gaps.hpp"
#include "KestlesCore/snap/KeySnap.hpp"
#include "KestlesCore/snap/SnapAction.hpp"
#include "KestlesCore/tiling/TilingFrames.hpp"

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
  /// The whole flash: the label, the frame it is drawn on and the tiles drawn around it.
  struct Shown {
    Label label;
    CGRect frame;
    std::vector<CGRect> context;  // the other tiles of the window's display; empty when untiled
    bool operator==(const Shown&) const = default;
  };

  /// The flash after `action` moved `window` to `frame`, with the tilings `before` and
  /// `after` the snap: a window that became its tiling's zoomed window is a zoom, one that
  /// stopped being it went back to its tile; the display is the one under the frame's centre.
  static Shown shown(SnapAction action, std::uint32_t window, const CGRect& frame,
                     const Tilings& before, const Tilings& after, const DisplaySetup& setup,
                     const Gaps& gaps);
  /// The symbol shown for an action ("rectangle.lefthalf.filled").
  static std::string_view symbolName(SnapAction action);
};

}  // namespace kestles
