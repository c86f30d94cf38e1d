#include "KestlesEngine/PlatformKeyboard.hpp"

#include <xkbcommon/xkbcommon.h>

#include "KestlesEngine/ipc/IpcLayer.hpp"
#include "KestlesEngine/platform/Environment.hpp"
#include "KestlesEngine/x11/X11Drags.hpp"
#include "KestlesEngine/x11/X11HotKeys.hpp"
#include "KestlesEngine/x11/X11Input.hpp"
#include "KestlesEngine/x11/X11KeyTable.hpp"
#include "KestlesEngine/x11/X11Layer.hpp"
#include "KestlesEngine/x11/overlay/X11Overlay.hpp"

namespace kestles {

std::optional<std::string> compositorKeyName(std::uint32_t keyCode) {
  auto keysym = x11::keysymForKeyCode(keyCode);
  if (!keysym) return std::nullopt;
  char name[64];
  if (xkb_keysym_get_name(*keysym, name, sizeof name) <= 0) return std::nullopt;
  return std::string(name);
}

void adoptKeyboard(PlatformChoice& choice) {
  if (auto* compositor = dynamic_cast<ipc::IpcLayer*>(choice.layer.get())) {
    // A Wayland client cannot grab keys: sway binds them. i3 takes bindings only from its
    // config, but it runs on an X server, where keys are grabbed as on any X11 desktop.
    if (compositor->compositor() == ipc::Compositor::sway)
      compositor->adoptKeyNames(compositorKeyName);
    else if (auto display = platform::environment("DISPLAY"))
      compositor->adoptKeyboard(x11::X11HotKeyService::open(display), nullptr);
    return;
  }
  auto* session = dynamic_cast<x11::X11Layer*>(choice.layer.get());
  if (session == nullptr) return;
  auto display = platform::environment("DISPLAY");
  session->adoptKeyboard(x11::X11HotKeyService::open(display), x11::X11InputMonitor::open(display));
  choice.layer->adoptOverlay(x11::X11Overlay::open(display));
  choice.layer->adoptDrags(x11::X11Drags::open(display));
}

}  // namespace kestles
