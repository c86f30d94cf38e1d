#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string_view>

#include "KestlesApp/CommandLog.hpp"
#include "KestlesCore/world/WorldFile.hpp"
#include "KestlesEngine/PlatformChoice.hpp"
#include "KestlesEngine/engine/EngineParts.hpp"
#include "KestlesEngine/platform/ThreadTime.hpp"

namespace kestles::app {

/// The chosen desktop with the engine over it, for one command.
class DesktopSession {
 public:
  /// The session on the chosen desktop; nothing (and the reason printed on `err`) when there
  /// is none. The engine keeps its learned size limits in `limitsFile` (empty: none).
  static std::unique_ptr<DesktopSession> open(std::ostream& err,
                                              const std::filesystem::path& limitsFile);
  ~DesktopSession();

  /// What the desktop shows now, in the world file's form: the engine's snapshot of the
  /// running apps on the displays, the focused window and the installed apps.
  WorldFile world();
  /// Moves one window's outer frame (no glide) and returns where it landed; nothing when
  /// the window is not one of the desktop's standard windows or could not be moved.
  std::optional<CGRect> place(std::uint32_t window, const CGRect& frame);
  /// Raises one window and gives it the focus; false when it is not one of the desktop's
  /// standard windows (any more).
  bool focus(std::uint32_t window);

 private:
  DesktopSession(PlatformChoice choice, const std::filesystem::path& limitsFile);
  /// Takes a fresh snapshot and returns the window in it, or null.
  const WindowSnapshot* findNow(std::uint32_t window);

  PlatformChoice choice_;
  platform::LayerParts parts_;
  CommandLog log_;
  platform::SteadyClock clock_;
  platform::ThreadTimers timers_{clock_};
  platform::SerialQueue queue_;
  platform::ThreadParallelFor parallel_;
  engine::EngineParts engine_;
  World current_;  // the last snapshot `findNow` took
};

}  // namespace kestles::app
