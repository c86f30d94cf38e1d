#include "KestlesEngine/platform/Platform.hpp"

#include <stdexcept>

#include "KestlesEngine/platform/Environment.hpp"
#include "KestlesEngine/sim/SimDesktop.hpp"
#include "KestlesEngine/x11/X11Platform.hpp"

namespace kestles::platform {
namespace {

/// The desktop of a machine without one: nothing to list, nothing to change.
class EmptyDesktop final : public DisplayProvider,
                           public RunningAppProvider,
                           public InstalledAppProvider,
                           public WindowControl {
 public:
  std::vector<DisplayInfo> displays() override { return {}; }
  std::vector<AppSnapshot> runningApps() override { return {}; }
  std::vector<AppRef> installedApps() override { return {}; }
  WindowList windows() override { return {}; }
  std::vector<std::optional<CGRect>> place(std::span<const WindowMove> moves) override {
    return std::vector<std::optional<CGRect>>(moves.size());
  }
  bool setMinimized(std::uint32_t, bool) override { return false; }
  bool raise(std::uint32_t) override { return false; }
  bool focus(std::uint32_t) override { return false; }
  bool setFullScreen(std::uint32_t, bool) override { return false; }
};

std::string quoted(std::string_view before, std::string_view value, std::string_view after) {
  std::string text(before);
  text.append("“").append(value).append("”").append(after);
  return text;
}

PlatformChoice simPlatform() {
  auto path = environment("KESTLES_SIM_WORLD");
  if (!path)
    return {std::nullopt, "The simulated desktop needs a world file: set KESTLES_SIM_WORLD."};
  try {
    auto desktop = std::make_shared<sim::SimDesktop>(sim::readWorldFile(*path));
    return {Platform{PlatformKind::sim, desktop, desktop, desktop, desktop}, {}};
  } catch (const std::runtime_error& error) {
    return {std::nullopt, error.what()};
  }
}

PlatformChoice x11Platform() {
  auto display = environment("DISPLAY");
  if (!display) return {std::nullopt, noDesktopMessage()};
  if (auto platform = x11::makeX11Platform(display)) return {std::move(*platform), {}};
  return {std::nullopt, quoted("Couldn’t connect to the X display ", *display, ".")};
}

}  // namespace

Platform emptyPlatform() {
  auto desktop = std::make_shared<EmptyDesktop>();
  return {PlatformKind::none, desktop, desktop, desktop, desktop};
}

std::string noDesktopMessage() {
  return "There is no X display: set DISPLAY, or set KESTLES_PLATFORM=sim and "
         "KESTLES_SIM_WORLD.";
}

PlatformChoice choosePlatform() {
  auto name = environment("KESTLES_PLATFORM");
  if (!name) return environment("DISPLAY") ? x11Platform() : PlatformChoice{emptyPlatform(), {}};
  if (*name == "x11") return x11Platform();
  if (*name == "sim") return simPlatform();
  return {std::nullopt, quoted("KESTLES_PLATFORM must be “x11” or “sim”, not ", *name, ".")};
}

World snapshotWorld(Platform& platform) {
  return worldOf({platform.displays->displays()}, platform.windows->windows());
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
