#pragma once

#include <memory>

#include "KestlesCore/world/World.hpp"
#include "KestlesEngine/platform/AppProvider.hpp"
#include "KestlesEngine/platform/DisplayProvider.hpp"
#include "KestlesEngine/platform/WindowControl.hpp"

namespace kestles::platform {

/// Which platform serves the engine.
enum class PlatformKind { x11, sim, none };

/// Every service of one platform, in the one object that implements them all.
class DesktopServices : public DisplayProvider,
                        public RunningAppProvider,
                        public InstalledAppProvider,
                        public WindowControl {};

/// A platform: its kind and the one owner of its services.
struct Platform {
  PlatformKind kind = PlatformKind::none;
  std::unique_ptr<DesktopServices> services;

  DisplayProvider& displays() const { return *services; }
  RunningAppProvider& runningApps() const { return *services; }
  InstalledAppProvider& installedApps() const { return *services; }
  WindowControl& windows() const { return *services; }
};

/// The world of a display setup and a window list: the display of the focused window (else
/// the setup's fallback) is the active one, and each display's full-screen window on screen
/// is noted; `floating` stays empty.
World worldOf(DisplaySetup setup, WindowList list);

/// Takes a snapshot of the platform's displays and windows (see `worldOf`).
World snapshotWorld(DesktopServices& services);

}  // namespace kestles::platform
