#pragma once

#include <optional>
#include <string>

#include "KestlesEngine/platform/Platform.hpp"

namespace kestles {

/// The platform or the sentence that says why there is none.
struct PlatformChoice {
  std::optional<platform::Platform> platform;
  std::string error;
};

/// The platform that `KESTLES_PLATFORM` names ("x11" or "sim"; unset: x11 when `DISPLAY` is
/// set, else the empty platform). The simulated desktop reads `KESTLES_SIM_WORLD`.
PlatformChoice choosePlatform();

/// A platform with no displays, apps or windows; every change fails.
platform::Platform emptyPlatform();

/// The sentence for commands that need a desktop and found none.
std::string noDesktopMessage();

}  // namespace kestles
