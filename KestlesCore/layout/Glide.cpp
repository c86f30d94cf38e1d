#include "KestlesCore/layout/Glide.hpp"

#include <algorithm>
#include <cmath>

namespace kestles {
namespace {

int staggerSteps(int index) {
  return std::min(std::max(index, 0), Glide::kMostStaggered);
}

}  // namespace

double Glide::delay(int index) {
  return kStagger * staggerSteps(index);
}

std::optional<double> Glide::progress(int index, double elapsed, double duration) {
  double own = elapsed - delay(index);
  if (own < 0) return std::nullopt;
  if (!(duration > 0)) return 1.0;
  double s = std::clamp(own / duration, 0.0, 1.0);
  return 1 - std::pow(1 - s, 4);
}

double Glide::totalDuration(int count, double duration) {
  return duration + kStagger * staggerSteps(count - 1);
}

double Glide::midpoint(int index, double duration) {
  return delay(index) + 0.55 * duration;
}

}  // namespace kestles
