#include "KestlesEngine/PlatformKeyboard.hpp"

#include "KestlesEngine/platform/Environment.hpp"
#include "KestlesEngine/x11/X11Drags.hpp"
#include "KestlesEngine/x11/X11HotKeys.hpp"
#include "KestlesEngine/x11/X11Input.hpp"
#include "KestlesEngine/x11/X11Layer.hpp"
#include "KestlesEngine/x11/overlay/X11Overlay.hpp"

namespace kestles {

void adoptKeyboard(PlatformChoice& choice) {
  auto* session = dynamic_cast<x11::X11Layer*>(choice.layer.get());
  if (session == nullptr) return;
  auto display = platform::environment("DISPLAY");
  session->adoptKeyboard(x11::X11HotKeyService::open(display), x11::X11InputMonitor::open(display));
  choice.layer->adoptOverlay(x11::X11Overlay::open(display));
  choice.layer->adoptDrags(x11::X11Drags::open(display));
}

}  // namespace kestles
