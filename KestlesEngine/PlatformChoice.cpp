#include "KestlesEngine/PlatformChoice.hpp"

#include <stdexcept>

#include "KestlesCore/text/Text.hpp"
#include "KestlesEngine/ipc/IpcConnection.hpp"
#include "KestlesEngine/ipc/IpcLayer.hpp"
#include "KestlesEngine/platform/Environment.hpp"
#include "KestlesEngine/sim/SimDesktop.hpp"
#include "KestlesEngine/x11/X11Layer.hpp"

namespace kestles {
namespace {

using platform::environment;

template <class Layer>
PlatformChoice chosen(PlatformKind kind, std::unique_ptr<Layer> layer, std::string desktop) {
  return {kind, std::move(layer), {}, std::move(desktop), {}, kind != PlatformKind::ipc};
}

PlatformChoice failure(PlatformKind kind, std::string error) {
  return {kind, nullptr, std::move(error), {}, {}, false};
}

PlatformChoice simPlatform() {
  auto path = environment("KESTLES_SIM_WORLD");
  if (!path)
    return failure(PlatformKind::sim,
                   "The simulated desktop needs a world file: set KESTLES_SIM_WORLD.");
  try {
    return chosen(PlatformKind::sim, std::make_unique<sim::SimDesktop>(WorldFile::read(*path)),
                  "the simulated desktop");
  } catch (const std::runtime_error& error) {
    return failure(PlatformKind::sim, error.what());
  }
}

PlatformChoice x11Platform() {
  auto display = environment("DISPLAY");
  if (!display) return failure(PlatformKind::x11, noDesktopMessage());
  if (auto layer = x11::X11Layer::open(display)) {
    auto choice = chosen(PlatformKind::x11, std::move(layer), "X11");
    // A Wayland session without a compositor IPC: only what runs on XWayland is reachable.
    if (environment("WAYLAND_DISPLAY")) choice.notice = xwaylandOnlyMessage();
    return choice;
  }
  return failure(PlatformKind::x11,
                 "Couldn’t connect to the X display " + text::quoted(*display) + ".");
}

PlatformChoice ipcPlatform() {
  auto path = ipc::socketPath();
  if (!path)
    return failure(PlatformKind::ipc, "There is no sway or i3 socket: set SWAYSOCK or I3SOCK.");
  auto layer = ipc::IpcLayer::open(*path);
  if (!layer)
    return failure(PlatformKind::ipc,
                   "Couldn’t connect to the compositor’s socket " + text::quoted(*path) + ".");
  auto desktop = layer->compositor() == ipc::Compositor::sway ? "sway" : "i3";
  return chosen(PlatformKind::ipc, std::move(layer), desktop);
}

}  // namespace

std::string xwaylandOnlyMessage() {
  return "This Wayland session’s compositor can’t be driven by Kestles: it can arrange only "
         "the X11 windows here.";
}

std::string noDesktopMessage() {
  return "There is no X display: set DISPLAY, or set KESTLES_PLATFORM=sim and "
         "KESTLES_SIM_WORLD.";
}

PlatformChoice choosePlatform() {
  auto name = environment("KESTLES_PLATFORM");
  if (!name) {
    if (ipc::socketPath()) return ipcPlatform();
    return environment("DISPLAY") ? x11Platform() : failure(PlatformKind::none, noDesktopMessage());
  }
  if (*name == "x11") return x11Platform();
  if (*name == "ipc") return ipcPlatform();
  if (*name == "sim") return simPlatform();
  return failure(PlatformKind::none, "KESTLES_PLATFORM must be “x11”, “ipc” or “sim”, not " +
                                         text::quoted(*name) + ".");
}

}  // namespace kestles
