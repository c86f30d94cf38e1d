#include "KestlesEngine/platform/NoKeyboard.hpp"

#include <time.h>

#include <limits>

namespace kestles::platform {

double NoInput::systemUptime() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

double NoInput::secondsSinceLastEvent(InputKind) {
  return std::numeric_limits<double>::infinity();
}

}  // namespace kestles::platform
