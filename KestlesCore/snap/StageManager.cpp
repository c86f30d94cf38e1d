#include "KestlesCore/snap/StageManager.hpp"

#include <algorithm>

namespace kestles {

DisplaySetup StageManager::room(const DisplaySetup& displays) const {
  if (!isOn || !showsStrip) return displays;
  DisplaySetup narrowed = displays;
  for (auto& display : narrowed.displays) {
    CGRect visible = display.visibleFrame.standardized();
    double strip = std::min(visible.width() / 3, largestStrip);
    double x = onRight ? visible.minX() : visible.minX() + strip;
    display.visibleFrame = {x, visible.minY(), visible.width() - strip, visible.height()};
  }
  return narrowed;
}

}  // namespace kestles
