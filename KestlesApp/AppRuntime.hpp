#pragma once

#include <memory>
#include <optional>
#include <string>

#include "KestlesApp/CommandRunner.hpp"
#include "KestlesApp/Notifier.hpp"
#include "KestlesEngine/engine/Conductor.hpp"
#include "KestlesEngine/engine/Displays.hpp"
#include "KestlesEngine/engine/Launcher.hpp"
#include "KestlesEngine/engine/RunningApps.hpp"
#include "KestlesEngine/engine/WindowEngine.hpp"
#include "KestlesEngine/engine/WindowWatcher.hpp"
#include "KestlesEngine/platform/DesktopLayer.hpp"
#include "KestlesEngine/platform/ThreadTime.hpp"

namespace kestles::app {

/// Timers whose work runs on a serial queue (the app's main context), so that what they
/// start never runs beside a command.
class QueueTimers final : public platform::Timers {
 public:
  QueueTimers(platform::Timers& timers, platform::SerialExecutor& queue)
      : timers_(timers), queue_(queue) {}
  std::uint64_t schedule(platform::Duration after, std::function<void()> work) override {
    return timers_.schedule(after, [this, work = std::move(work)] { queue_.async(work); });
  }
  void cancel(std::uint64_t token) override { timers_.cancel(token); }

 private:
  platform::Timers& timers_;
  platform::SerialExecutor& queue_;
};

/// The running app on one desktop: the engine over the desktop's layer, the commands that
/// arrive as links carried out one at a time on the main queue, and keep tiled following
/// the windows as they come and go.
class AppRuntime {
 public:
  AppRuntime(platform::DesktopLayer& layer, platform::LogSink& log, Notifier& notifier,
             CommandRunner::Files files, std::filesystem::path limitsFile);
  /// Stops watching and finishes the work already queued.
  ~AppRuntime();
  AppRuntime(const AppRuntime&) = delete;
  AppRuntime& operator=(const AppRuntime&) = delete;

  /// Starts the engine, reads the library and the session state, and starts watching.
  void start();
  /// Decides on a received line (a command link or a file URL to import): nothing accepts
  /// it and queues its work, a sentence refuses it. Safe from any thread.
  std::optional<std::string> receive(const std::string& line);
  /// Waits for every command queued so far to finish.
  void finishQueued();

 private:
  platform::LayerParts parts_;
  platform::LogSink& log_;
  platform::SteadyClock clock_;
  platform::ThreadTimers threadTimers_{clock_};
  platform::SerialQueue engineQueue_;
  platform::SerialQueue watcherQueue_;
  platform::ThreadParallelFor parallel_;
  platform::SerialQueue main_;
  QueueTimers mainTimers_{threadTimers_, main_};
  QueueTimers watcherTimers_{threadTimers_, watcherQueue_};
  engine::WindowEngine engine_;
  engine::RunningApps runningApps_;
  engine::Displays displays_;
  engine::Launcher launcher_;
  engine::Conductor conductor_;
  engine::WindowWatcher watcher_;
  CommandRunner runner_;
};

}  // namespace kestles::app
