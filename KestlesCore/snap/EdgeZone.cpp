#include "KestlesCore/snap/EdgeZone.hpp"

#include <algorithm>

namespace kestles {
namespace {

bool continues(CGPoint outside, std::span<const DisplayInfo> displays) {
  return std::any_of(displays.begin(), displays.end(),
                     [&](const DisplayInfo& other) { return other.frame.contains(outside); });
}

SnapAction bottomPlace(CGPoint point, const CGRect& f) {
  if (f.height() > f.width()) return SnapAction::bottomHalf;
  if (!(f.width() > 0)) return SnapAction::centerThird;
  double share = (point.x - f.minX()) / f.width();
  if (share < 1.0 / 3) return SnapAction::firstThird;
  if (share < 2.0 / 3) return SnapAction::centerThird;
  return SnapAction::lastThird;
}

}  // namespace

std::optional<SnapAction> EdgeZone::action(CGPoint point, const DisplayInfo& display,
                                           std::span<const DisplayInfo> displays) {
  const CGRect f = display.frame.standardized();
  double x = point.x, y = point.y;
  bool left = x <= f.minX() + band && !continues({f.minX() - 1, y}, displays);
  bool right = x >= f.maxX() - 1 - band && !continues({f.maxX(), y}, displays);
  bool top = y <= f.minY() + band && !continues({x, f.minY() - 1}, displays);
  bool bottom = y >= f.maxY() - 1 - band && !continues({x, f.maxY()}, displays);
  bool nearTop = y - f.minY() <= cornerReach, nearBottom = f.maxY() - y <= cornerReach;
  bool nearLeft = x - f.minX() <= cornerReach, nearRight = f.maxX() - x <= cornerReach;

  if ((left && nearTop) || (top && nearLeft)) return SnapAction::topLeft;
  if ((right && nearTop) || (top && nearRight)) return SnapAction::topRight;
  if ((left && nearBottom) || (bottom && nearLeft)) return SnapAction::bottomLeft;
  if ((right && nearBottom) || (bottom && nearRight)) return SnapAction::bottomRight;
  if (left) return SnapAction::leftHalf;
  if (right) return SnapAction::rightHalf;
  if (top) return SnapAction::maximize;
  if (bottom) return bottomPlace(point, f);
  return std::nullopt;
}

}  // namespace kestles
