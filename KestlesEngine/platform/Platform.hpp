#pragma once

#include <memory>
#include <string>

#include "KestlesCore/world/World.hpp"
#include "KestlesEngine/platform/AppProvider.hpp"
#include "KestlesEngine/platform/DisplayProvider.hpp"
#include "KestlesEngine/platform/WindowControl.hpp"

namespace kestles::platform {

/// Which platform serves the engine.
enum class PlatformKind { x11, sim, none };

/// The platform's services; they may all be one object.
struct Platform {
  PlatformKind kind = PlatformKind::none;
  std::shared_ptr<DisplayProvider> displays;
  std::shared_ptr<RunningAppProvider> runningApps;
  std::shared_ptr<InstalledAppProvider> installedApps;
  std::shared_ptr<WindowControl> windows;
};

/// The platform or the sentence that says why there is none.
struct PlatformChoice {
  std::optional<Platform> platform;
  std::string error;
};

/// The platform that `KESTLES_PLATFORM` names ("x11" or "sim"; unset: x11 when `DISPLAY` is
/// set, else the empty platform). The simulated desktop reads `KESTLES_SIM_WORLD`.
PlatformChoice choosePlatform();

/// A platform with no displays, apps or windows; every change fails.
Platform emptyPlatform();

/// The sentence for commands that need a desktop and found none.
std::string noDesktopMessage();

/// The world of a display setup and a window list: the display of the focused window (else
/// the setup's fallback) is the active one, and each display's full-screen window on screen
/// is noted; `floating` stays empty.
World worldOf(DisplaySetup setup, WindowList list);

/// Takes a snapshot of the platform's displays and windows (see `worldOf`).
World snapshotWorld(Platform& platform);

}  // namespace kestles::platform
