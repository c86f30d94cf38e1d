#include "KestlesEngine/platform/Platform.hpp"

namespace kestles::platform {

World snapshotWorld(DesktopServices& services) {
  return worldOf({services.displays()}, services.windows());
}

World worldOf(DisplaySetup setup, WindowList list) {
  World world;
  world.setup = std::move(setup);
  world.windows = std::move(list.windows);
  world.apps = std::move(list.apps);
  std::optional<DisplayInfo> active;
  if (list.focusedWindow)
    for (const auto& window : world.windows)
      if (window.id == *list.focusedWindow) active = world.setup.display(window.frame);
  if (!active) active = world.setup.fallback();
  if (active) world.activeDisplayID = active->id;
  world.fullScreen = fullScreenWindows(world.setup, world.windows, list.onScreenCount);
  return world;
}

}  // namespace kestles::platform
