#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>

#include "KestlesEngine/platform/Accessibility.hpp"
#include "KestlesEngine/platform/LogSink.hpp"
#include "KestlesEngine/platform/Screens.hpp"
#include "KestlesEngine/platform/Time.hpp"
#include "KestlesEngine/platform/WindowDrags.hpp"
#include "KestlesEngine/platform/Workspace.hpp"

namespace kestles::engine {

/// Tells the rest of the system that windows or displays may have changed, coarsely and
/// coalesced: it watches every ordinary app but this process for windows appearing, going,
/// minimizing and restoring, the workspace for apps and Spaces, and the screens for displays
/// that came, went or changed. It also reports the windows the user drags.
class WindowWatcher {
 public:
  enum class Change { windows, space, displays };
  using OnChange = std::function<void(Change)>;
  using OnDrag = std::function<void(const platform::WindowDragEvent&)>;

  /// The watcher's own thread is `thread`; the timers hand their work to it.
  struct Services {
    platform::Accessibility& ax;
    platform::Workspace& workspace;
    platform::Screens& screens;
    platform::LogSink& log;
    platform::Timers& timers;
    platform::SerialExecutor& thread;
  };

  /// Attempts after the first, half a second apart, for an app that is still starting.
  static constexpr int kLastAttempt = 8;

  explicit WindowWatcher(Services services);
  ~WindowWatcher();
  WindowWatcher(const WindowWatcher&) = delete;
  WindowWatcher& operator=(const WindowWatcher&) = delete;

  /// Watches the running ordinary apps, the workspace and the screens; `onChange` is called
  /// on the watcher's thread for window changes and on the workspace's or the screens'
  /// context for the others.
  void start(OnChange onChange);
  /// Stops every observer and timer; nothing is reported afterwards.
  void stop();
  /// From `start` to `stop`, hands the steps of the drags `drags` sees to `onDrag` on the
  /// watcher's thread, in order: a drag's beginning and end each time, its moves coalesced
  /// (the latest pointer while one is pending), so that a slow receiver never falls behind
  /// the pointer. Call before `start`; null: drags are not reported.
  void followDrags(platform::WindowDrags* drags, OnDrag onDrag);

 private:
  void watch(std::int32_t pid, int attempt);
  void unwatch(std::int32_t pid);
  void heard(std::int32_t pid, platform::AXElement element, const std::string& name);
  void signal();
  void later(platform::Duration after, std::function<void()> work);
  void onWorkspace(const platform::WorkspaceNotification& notification);
  bool isWatchable(const platform::RunningApplication& app);
  void dragged(const platform::WindowDragEvent& event);

  Services services_;
  OnChange onChange_;
  std::optional<std::uint64_t> workspaceToken_;
  std::optional<std::uint64_t> screensToken_;
  std::map<std::int32_t, platform::AXObserverID> observers_;  // touched on the thread only
  std::set<std::uint64_t> timers_;                            // not fired yet
  bool isSignalling_ = false;
  bool running_ = false;
  platform::WindowDrags* drags_ = nullptr;
  OnDrag onDrag_;
  std::mutex dragMutex_;                                  // guards the pending move
  std::optional<platform::WindowDragEvent> pendingMove_;  // not handed over yet
};

}  // namespace kestles::engine
