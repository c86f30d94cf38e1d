#include "KestlesEngine/PlatformChoice.hpp"

#include <stdexcept>

#include "KestlesCore/text/Text.hpp"
#include "KestlesEngine/platform/Environment.hpp"
#include "KestlesEngine/sim/SimDesktop.hpp"
#include "KestlesEngine/x11/X11Layer.hpp"

namespace kestles {
namespace {

using platform::environment;

template <class Layer>
PlatformChoice chosen(PlatformKind kind, std::unique_ptr<Layer> layer) {
  return {kind, std::move(layer), {}};
}

PlatformChoice failure(PlatformKind kind, std::string error) {
  return {kind, nullptr, std::move(error)};
}

PlatformChoice simPlatform() {
  auto path = environment("KESTLES_SIM_WORLD");
  if (!path)
    return failure(PlatformKind::sim,
                   "The simulated desktop needs a world file: set KESTLES_SIM_WORLD.");
  try {
    return chosen(PlatformKind::sim, std::make_unique<sim::SimDesktop>(WorldFile::read(*path)));
  } catch (const std::runtime_error& error) {
    return failure(PlatformKind::sim, error.what());
  }
}

PlatformChoice x11Platform() {
  auto display = environment("DISPLAY");
  if (!display) return failure(PlatformKind::x11, noDesktopMessage());
  if (auto layer = x11::X11Layer::open(display)) return chosen(PlatformKind::x11, std::move(layer));
  return failure(PlatformKind::x11,
                 "Couldn’t connect to the X display " + text::quoted(*display) + ".");
}

}  // namespace

std::string noDesktopMessage() {
  return "There is no X display: set DISPLAY, or set KESTLES_PLATFORM=sim and "
         "KESTLES_SIM_WORLD.";
}

PlatformChoice choosePlatform() {
  auto name = environment("KESTLES_PLATFORM");
  if (!name)
    return environment("DISPLAY") ? x11Platform() : failure(PlatformKind::none, noDesktopMessage());
  if (*name == "x11") return x11Platform();
  if (*name == "sim") return simPlatform();
  return failure(PlatformKind::none,
                 "KESTLES_PLATFORM must be “x11” or “sim”, not " + text::quoted(*name) + ".");
}

}  // namespace kestles
