#pragma once

#include <memory>
#include <string>

#include "KestlesEngine/platform/DesktopLayer.hpp"

namespace kestles {

/// Which desktop serves the engine.
enum class PlatformKind { x11, ipc, sim, none };

/// The desktop layer, or the sentence that says why there is none.
struct PlatformChoice {
  PlatformKind kind = PlatformKind::none;
  std::unique_ptr<platform::DesktopLayer> layer;  // null when there is no desktop
  std::string error;                              // set when `layer` is null
  /// The desktop driven, as users name it: "sway", "i3", "X11" or "the simulated desktop";
  /// empty when there is none.
  std::string desktop;
  /// What a user should know about this desktop in one sentence (on a Wayland session that
  /// only its X11 windows can be arranged), shown at start and by the status; empty when
  /// there is nothing to say.
  std::string notice;
  /// Whether the app can see a double tap of Control there: not through the compositor's IPC
  /// (a Wayland client sees no keys but its own).
  bool seesDoubleControl = false;
};

/// The desktop that `KESTLES_PLATFORM` names ("x11", "ipc" or "sim"; unset: the sway or i3
/// IPC when `SWAYSOCK` or `I3SOCK` is set, else x11 when `DISPLAY` is set, else none, with
/// `noDesktopMessage`). The simulated desktop reads the world file that `KESTLES_SIM_WORLD`
/// names.
PlatformChoice choosePlatform();

/// The sentence for a Wayland session whose compositor Kestles cannot drive, where only the
/// X11 windows it shows through XWayland can be arranged.
std::string xwaylandOnlyMessage();

/// The sentence for commands that need a desktop and found none.
std::string noDesktopMessage();

}  // namespace kestles
