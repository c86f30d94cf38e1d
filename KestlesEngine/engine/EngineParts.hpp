#pragma once

#include <filesystem>

#include "KestlesEngine/engine/Conductor.hpp"
#include "KestlesEngine/engine/Displays.hpp"
#include "KestlesEngine/engine/Launcher.hpp"
#include "KestlesEngine/engine/RunningApps.hpp"
#include "KestlesEngine/engine/WindowEngine.hpp"
#include "KestlesEngine/platform/DesktopLayer.hpp"
#include "KestlesEngine/platform/LogSink.hpp"
#include "KestlesEngine/platform/Time.hpp"

namespace kestles::engine {

/// The engine over one desktop, put together in one place: the window engine, the running
/// apps, the displays, the launcher and the conductor over them. The app, its one-shot
/// commands, the tests and the benchmarks all build it this way, so a new part or a new link
/// between parts is wired once.
class EngineParts {
 public:
  /// The desktop interfaces the parts use.
  struct Desktop {
    platform::Accessibility& ax;
    platform::WindowServer& windowServer;
    platform::Workspace& workspace;
    platform::Screens& screens;
    platform::AppOpener& opener;
    /// The interfaces of a layer's parts.
    static Desktop of(const platform::LayerParts& parts) {
      return {parts.ax, parts.windowServer, parts.workspace, parts.screens, parts.opener};
    }
  };

  /// The time and threads the parts run on; each must outlive the parts.
  struct Time {
    platform::Clock& clock;
    platform::Timers& timers;         // the window engine's (late-landing checks)
    platform::SerialExecutor& queue;  // the window engine's own serial queue
    platform::ParallelFor& parallel;  // each app's windows read and moved side by side
    platform::Timers& mainTimers;     // the conductor's: must deliver on the main context
  };

  /// The parts over `desktop`; the window engine keeps its learned size limits in
  /// `limitsFile` (empty: none). Nothing runs until the caller starts the engine.
  EngineParts(Desktop desktop, platform::LogSink& log, Time time,
              std::filesystem::path limitsFile = {});
  EngineParts(const EngineParts&) = delete;
  EngineParts& operator=(const EngineParts&) = delete;

  WindowEngine engine;
  RunningApps runningApps;
  Displays displays;
  Launcher launcher;
  Conductor conductor;
};

}  // namespace kestles::engine
