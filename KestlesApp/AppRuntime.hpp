#pragma once

#include <memory>
#include <optional>
#include <string>

#include "KestlesApp/CommandRunner.hpp"
#include "KestlesApp/DragSnapping.hpp"
#include "KestlesApp/KeyboardModes.hpp"
#include "KestlesApp/Notifier.hpp"
#include "KestlesApp/SnapFeedback.hpp"
#include "KestlesCore/command/KeyBindings.hpp"
#include "KestlesEngine/engine/DoubleControlMonitor.hpp"
#include "KestlesEngine/engine/EngineParts.hpp"
#include "KestlesEngine/engine/HotKeys.hpp"
#include "KestlesEngine/engine/WindowWatcher.hpp"
#include "KestlesEngine/platform/DesktopLayer.hpp"
#include "KestlesEngine/platform/ThreadTime.hpp"
#include "KestlesLink/LinkReply.hpp"

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

/// The platform's hot keys with their events handed to a serial queue (the app's main
/// context), where the registry of keys lives; the platform hears "handled" at once.
class QueueHotKeys final : public platform::HotKeyService {
 public:
  QueueHotKeys(platform::HotKeyService& service, platform::SerialExecutor& queue)
      : service_(service), queue_(queue) {}
  std::int32_t installHandler(Handler handler) override {
    return service_.installHandler([this, handler = std::move(handler)](const Event* event) {
      std::optional<Event> copy = event ? std::optional(*event) : std::nullopt;
      queue_.async([handler, copy] { handler(copy ? &*copy : nullptr); });
      return std::int32_t{0};
    });
  }
  Registration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                              HotKeyID id) override {
    return service_.registerHotKey(keyCode, modifiers, id);
  }
  std::int32_t unregisterHotKey(std::uint64_t ref) override {
    return service_.unregisterHotKey(ref);
  }

 private:
  platform::HotKeyService& service_;
  platform::SerialExecutor& queue_;
};

/// The running app on one desktop: the engine over the desktop's layer, the commands that
/// arrive as links carried out one at a time on the main queue, and keep tiled following
/// the windows as they come and go.
class AppRuntime {
 public:
  /// What `kestles status` tells about this app beside what it knows itself.
  struct About {
    std::string desktop;             // "display :0", "the simulated desktop"
    std::string logPlace;            // the log file's path, or how to read the journal
    std::vector<std::string> notes;  // what the desktop cannot do, one sentence each
  };

  AppRuntime(platform::DesktopLayer& layer, platform::LogSink& log, Notifier& notifier,
             CommandRunner::Files files, std::filesystem::path limitsFile, About about = {});
  /// Stops watching and finishes the work already queued.
  ~AppRuntime();
  AppRuntime(const AppRuntime&) = delete;
  AppRuntime& operator=(const AppRuntime&) = delete;

  /// Starts the engine, reads the library and the session state, and starts watching.
  void start();
  /// Takes a received line (a command link, a record link or a file URL to import, any of
  /// them after "notify " when the outcome is to be shown as a notice too): a line that is
  /// none is refused at once; otherwise its work is queued and `answer` tells how it ended.
  /// Safe from any thread.
  void receive(const std::string& line, CommandRunner::Answer answer);
  /// Waits for every command queued so far to finish.
  void finishQueued();

  /// Called once, on the main queue, when the desktop has gone away.
  std::function<void()> onDesktopGone;
  /// Called on the main queue once `kestles quit` has been answered.
  std::function<void()> onQuit;

 private:
  /// Carries the command out and follows what it changed in the keys. Main queue only.
  void run(const KestlesCommand& command, CommandRunner::Answer answer = {});
  /// `kestles status`: whether it runs and where, keep tiled, the keys held and not, the log.
  link::LinkReply status() const;
  /// `kestles keys`: every binding, its command and whether this app holds it.
  link::LinkReply keys() const;
  /// Registers the global keys the library's settings ask for, when they changed.
  void updateKeys();
  /// Whether another program holds the binding's key, so that this app could not take it.
  bool isHeldElsewhere(const KeyBinding& binding) const;
  /// One notice listing the keys another program holds, when they changed since the last.
  void tellKeysHeldElsewhere();
  /// Logs a key that could not be registered, naming who holds it.
  void logTakenKey(const KeyBinding& binding);
  /// On an X display: the keyboard modes, and the palette on a double Control tap when the
  /// panel trigger is that tap.
  void startKeyboardModes();
  /// The snap flash and the zones of dragged windows, on the desktops that have an overlay and
  /// report drags. Main queue only.
  void startSnapping();
  /// Watches for the double Control tap while the panel trigger is that tap, and only then.
  void followPanelTrigger();
  /// Hands the displays as they are now to the runner, which acts when they changed.
  void lookAtDisplays();
  platform::DesktopLayer& layer_;
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
  QueueHotKeys mainHotKeys_;
  engine::EngineParts engineParts_;
  engine::WindowEngine& engine_ = engineParts_.engine;
  engine::Displays& displays_ = engineParts_.displays;
  engine::Conductor& conductor_ = engineParts_.conductor;
  engine::WindowWatcher watcher_;
  engine::HotKeys hotKeys_;
  CommandRunner runner_;
  std::unique_ptr<SnapFeedback> feedback_;  // with an overlay
  std::unique_ptr<DragSnapping> dragging_;  // with drags reported
  std::unique_ptr<KeyboardModes> modes_;
  std::unique_ptr<engine::DoubleControlMonitor> doubleControl_;
  std::optional<KeyBindings> keys_;
  std::vector<std::uint32_t> keyIDs_;
  std::vector<KeyBinding> heldElsewhere_;        // bindings another program holds
  std::vector<std::string> announcedElsewhere_;  // the keys last told about in a notice
  Notifier& notifier_;
  About about_;
  bool stopping_ = false;
};

}  // namespace kestles::app
