#include "KestlesEngine/platform/Time.hpp"

#include <cstdio>

namespace kestles::platform {

std::string describe(Duration duration) {
  char text[64];
  std::snprintf(text, sizeof text, "%g seconds", std::chrono::duration<double>(duration).count());
  return text;
}

}  // namespace kestles::platform
