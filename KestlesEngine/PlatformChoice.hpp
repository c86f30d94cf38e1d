#pragma once

#include <memory>
#include <string>

#include "KestlesEngine/platform/DesktopLayer.hpp"

namespace kestles {

/// Which desktop serves the engine.
enum class PlatformKind { x11, sim, none };

/// The desktop layer, or the sentence that says why there is none.
struct PlatformChoice {
  PlatformKind kind = PlatformKind::none;
  std::unique_ptr<platform::DesktopLayer> layer;  // null when there is no desktop
  std::string error;                              // set when `layer` is null
};

/// The desktop that `KESTLES_PLATFORM` names ("x11" or "sim"; unset: x11 when `DISPLAY` is
/// set, else none, with `noDesktopMessage`). The simulated desktop reads the world file
/// that `KESTLES_SIM_WORLD` names.
PlatformChoice choosePlatform();

/// The sentence for commands that need a desktop and found none.
std::string noDesktopMessage();

}  // namespace kestles
