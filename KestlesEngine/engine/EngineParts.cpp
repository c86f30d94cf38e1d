#include "KestlesEngine/engine/EngineParts.hpp"

namespace kestles::engine {

EngineParts::EngineParts(Desktop desktop, platform::LogSink& log, Time time,
                         std::filesystem::path limitsFile)
    : engine({desktop.ax, desktop.windowServer, desktop.workspace, log, time.clock, time.timers,
              time.queue, time.parallel, std::move(limitsFile)}),
      runningApps(desktop.workspace, log, time.clock),
      displays(desktop.screens),
      launcher(desktop.opener),
      conductor({engine, runningApps, displays, launcher, desktop.workspace, log, time.clock,
                 time.mainTimers}) {}

}  // namespace kestles::engine
