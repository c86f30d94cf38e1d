#include "KestlesEngine/sim/SimScreens.hpp"

namespace kestles::sim {

void SimScreens::setMouseLocation(std::optional<CGPoint> location) {
  std::lock_guard lock(world_.mutex);
  mouse_ = location;
}

std::vector<DisplayInfo> SimScreens::screens() {
  std::lock_guard lock(world_.mutex);
  return world_.setup.displays;
}

std::optional<CGPoint> SimScreens::mouseLocation() {
  std::lock_guard lock(world_.mutex);
  return mouse_;
}

}  // namespace kestles::sim
