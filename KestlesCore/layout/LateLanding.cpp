#include "KestlesCore/layout/LateLanding.hpp"

#include <cmath>

#include "KestlesCore/layout/SizeLimits.hpp"

namespace kestles {

std::optional<LateLanding::Verdict> LateLanding::verdict(const CGRect& target, const CGRect& frame,
                                                         const CGRect& within) {
  if (std::fabs(frame.width() - target.width()) <= kLearningTolerance &&
      std::fabs(frame.height() - target.height()) <= kLearningTolerance)
    return std::nullopt;
  if (!target.contains(frame.center()) && !frame.contains(target.center())) return std::nullopt;
  auto landed = landing({frame.width(), frame.height()}, target, within);
  if (std::fabs(landed.minX() - frame.minX()) <= 1 && std::fabs(landed.minY() - frame.minY()) <= 1)
    return Verdict{true, std::nullopt};
  return Verdict{true, landed.origin};
}

}  // namespace kestles
