#include "KestlesEngine/PlatformChoice.hpp"

#include <stdexcept>

#include "KestlesCore/text/Text.hpp"
#include "KestlesEngine/platform/Environment.hpp"
#include "KestlesEngine/sim/SimDesktop.hpp"
#include "KestlesEngine/x11/X11Platform.hpp"

namespace kestles {
namespace {

using platform::environment;

/// The desktop of a machine without one: nothing to list, nothing to change.
class EmptyDesktop final : public platform::DesktopServices {
 public:
  std::vector<DisplayInfo> displays() override { return {}; }
  std::vector<AppSnapshot> runningApps() override { return {}; }
  std::vector<AppRef> installedApps() override { return {}; }
  platform::WindowList windows() override { return {}; }
  std::vector<std::optional<CGRect>> place(std::span<const platform::WindowMove> moves) override {
    return std::vector<std::optional<CGRect>>(moves.size());
  }
  bool setMinimized(std::uint32_t, bool) override { return false; }
  bool raise(std::uint32_t) override { return false; }
  bool focus(std::uint32_t) override { return false; }
  bool setFullScreen(std::uint32_t, bool) override { return false; }
};

PlatformChoice simPlatform() {
  auto path = environment("KESTLES_SIM_WORLD");
  if (!path)
    return {std::nullopt, "The simulated desktop needs a world file: set KESTLES_SIM_WORLD."};
  try {
    return {platform::Platform{platform::PlatformKind::sim,
                               std::make_unique<sim::SimDesktop>(WorldFile::read(*path))},
            {}};
  } catch (const std::runtime_error& error) {
    return {std::nullopt, error.what()};
  }
}

PlatformChoice x11Platform() {
  auto display = environment("DISPLAY");
  if (!display) return {std::nullopt, noDesktopMessage()};
  if (auto session = x11::X11Platform::open(display))
    return {platform::Platform{platform::PlatformKind::x11, std::move(session)}, {}};
  return {std::nullopt, "Couldn’t connect to the X display " + text::quoted(*display) + "."};
}

}  // namespace

platform::Platform emptyPlatform() {
  return {platform::PlatformKind::none, std::make_unique<EmptyDesktop>()};
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
  return {std::nullopt,
          "KESTLES_PLATFORM must be “x11” or “sim”, not " + text::quoted(*name) + "."};
}

}  // namespace kestles
