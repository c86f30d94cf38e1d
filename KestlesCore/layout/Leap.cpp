#include "KestlesCore/layout/Leap.hpp"

#include <algorithm>
#include <cmath>

namespace kestles {

double Leap::fittingScale(CGSize size, const CGRect& rect) {
  return std::min(rect.width() / size.width, rect.height() / size.height);
}

CGRect Leap::fitted(CGSize size, const CGRect& rect) {
  double scale = fittingScale(size, rect);
  double width = size.width * scale;
  double height = size.height * scale;
  return {rect.midX() - width * 0.5, rect.midY() - height * 0.5, width, height};
}

std::optional<CGRect> Leap::carried(const CGRect& rect, const CGRect& from, const CGRect& to) {
  if (!from.contains(rect.center())) return std::nullopt;
  double sx = to.width() / from.width();
  double sy = to.height() / from.height();
  return CGRect(to.minX() + (rect.minX() - from.minX()) * sx,
                to.minY() + (rect.minY() - from.minY()) * sy, rect.width() * sx,
                rect.height() * sy);
}

Leap::Start Leap::start(const CGRect& from, const CGRect& to) {
  double ratio = (from.width() / to.width()) * (from.height() / to.height());
  // A zero-sized destination gives an infinite or undefined ratio: no zoom then.
  double scale = std::isfinite(ratio) ? std::clamp(std::sqrt(ratio), 0.02, 1.0) : 1.0;
  return {{from.midX() - to.midX(), from.midY() - to.midY()}, scale};
}

}  // namespace kestles
