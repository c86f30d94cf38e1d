#include "KestlesEngine/engine/WindowWatcher.hpp"

#include <array>
#include <memory>
#include <string>
#include <utility>

namespace kestles::engine {
namespace {

using platform::formatLog;
namespace ax = platform::ax;
namespace ax_error = platform::ax_error;

constexpr platform::Duration kRetryDelay = std::chrono::milliseconds(500);
constexpr platform::Duration kCoalescing = std::chrono::milliseconds(100);

constexpr std::array<std::string_view, 3> kAppNotifications{
    ax::windowCreated, ax::windowMiniaturized, ax::windowDeminiaturized};

}  // namespace

WindowWatcher::WindowWatcher(Services services) : services_(services) {}

WindowWatcher::~WindowWatcher() {
  stop();
}

bool WindowWatcher::isWatchable(const platform::RunningApplication& app) {
  return app.isRegular && !app.isTerminated && app.pid > 0 &&
         app.pid != services_.workspace.ownPID();
}

void WindowWatcher::start(OnChange onChange) {
  onChange_ = std::move(onChange);
  std::vector<std::int32_t> pids;
  for (const auto& app : services_.workspace.runningApplications())
    if (isWatchable(app)) pids.push_back(app.pid);
  services_.thread.sync([&] {
    running_ = true;
    for (auto pid : pids)
      watch(pid, 0);
  });
  workspaceToken_ = services_.workspace.observe(
      [this](const platform::WorkspaceNotification& notification) { onWorkspace(notification); });
  screensToken_ = services_.screens.observeChanges([this] { onChange_(Change::displays); });
  if (drags_) drags_->onDrag([this](const platform::WindowDragEvent& event) { dragged(event); });
  services_.log.write({platform::LogLevel::info, platform::LogCategory::engine,
                       formatLog("Watching windows of %ld apps", long(pids.size()))});
}

void WindowWatcher::stop() {
  if (drags_) drags_->onDrag({});
  if (workspaceToken_) services_.workspace.stopObserving(*workspaceToken_);
  workspaceToken_.reset();
  if (screensToken_) services_.screens.stopObservingChanges(*screensToken_);
  screensToken_.reset();
  services_.thread.sync([this] {
    running_ = false;
    for (auto token : timers_)
      services_.timers.cancel(token);
    timers_.clear();
    for (const auto& [pid, observer] : observers_)
      services_.ax.removeObserver(observer);
    observers_.clear();
    isSignalling_ = false;
  });
}

void WindowWatcher::followDrags(platform::WindowDrags* drags, OnDrag onDrag) {
  drags_ = drags;
  onDrag_ = std::move(onDrag);
}

void WindowWatcher::dragged(const platform::WindowDragEvent& event) {
  if (event.phase == platform::WindowDragEvent::Phase::moved) {
    {
      std::lock_guard lock(dragMutex_);
      bool pending = pendingMove_.has_value();
      pendingMove_ = event;
      if (pending) return;  // the handover already queued takes this pointer
    }
    services_.thread.async([this] {
      std::optional<platform::WindowDragEvent> latest;
      {
        std::lock_guard lock(dragMutex_);
        latest = std::exchange(pendingMove_, std::nullopt);
      }
      if (running_ && latest) onDrag_(*latest);
    });
    return;
  }
  services_.thread.async([this, event] {
    if (running_) onDrag_(event);
  });
}

void WindowWatcher::onWorkspace(const platform::WorkspaceNotification& notification) {
  using Kind = platform::WorkspaceNotification::Kind;
  switch (notification.kind) {
    // A launch or a quit is a change of windows in itself: where an app is first seen
    // together with its first window, that window came before any observer could hear it.
    case Kind::didLaunch:
      if (notification.app && isWatchable(*notification.app))
        services_.thread.async([this, pid = notification.app->pid] {
          watch(pid, 0);
          signal();
        });
      break;
    case Kind::didTerminate:
      if (notification.app)
        services_.thread.async([this, pid = notification.app->pid] {
          unwatch(pid);
          signal();
        });
      break;
    case Kind::didHide:
    case Kind::didUnhide:
      onChange_(Change::windows);
      break;
    case Kind::activeSpaceDidChange:
      onChange_(Change::space);
      break;
    case Kind::windowFullScreenDidChange:
      // The conductor waits on these; the window itself stays where it was listed.
      break;
  }
}

void WindowWatcher::later(platform::Duration after, std::function<void()> work) {
  auto token = std::make_shared<std::uint64_t>(0);
  *token = services_.timers.schedule(after, [this, token, work = std::move(work)] {
    services_.thread.async([this, token, work] {
      // A timer cancelled by stop may already have handed its work over.
      if (timers_.erase(*token) == 0 || !running_) return;
      work();
    });
  });
  timers_.insert(*token);
}

void WindowWatcher::watch(std::int32_t pid, int attempt) {
  if (!running_ || observers_.contains(pid)) return;
  auto& ax = services_.ax;
  auto observer =
      ax.createObserver(pid, [this, pid](platform::AXElement element, const std::string& name) {
        services_.thread.async([this, pid, element, name] { heard(pid, element, name); });
      });
  if (!observer) return;
  auto app = ax.application(pid);
  std::vector<platform::AXErrorCode> errors;
  for (auto name : kAppNotifications) {
    auto error = ax.addNotification(*observer, app, name);
    if (error != ax_error::success && error != ax_error::notificationAlreadyRegistered)
      errors.push_back(error);
  }
  if (errors.empty()) {
    for (auto window : ax.elements(app, ax::windows))
      ax.addNotification(*observer, window, ax::elementDestroyed);
    observers_[pid] = *observer;
    // Windows may have come while the app could not be watched yet.
    if (attempt > 0) onChange_(Change::windows);
    return;
  }
  ax.removeObserver(*observer);
  bool starting = std::find(errors.begin(), errors.end(), ax_error::cannotComplete) != errors.end();
  if (starting && attempt < kLastAttempt) {
    later(kRetryDelay, [this, pid, attempt] { watch(pid, attempt + 1); });
    return;
  }
  std::string codes = "[";
  for (auto error : errors) {
    if (codes.size() > 1) codes += ", ";
    codes += std::to_string(error);
  }
  codes += ']';
  services_.log.write({platform::LogLevel::notice, platform::LogCategory::engine,
                       formatLog("Can't watch the windows of %d: %{public}s", pid, codes)});
}

void WindowWatcher::unwatch(std::int32_t pid) {
  auto found = observers_.find(pid);
  if (found == observers_.end()) return;
  services_.ax.removeObserver(found->second);
  observers_.erase(found);
}

void WindowWatcher::heard(std::int32_t pid, platform::AXElement element, const std::string& name) {
  if (!running_) return;
  auto observer = observers_.find(pid);
  if (name == ax::windowCreated && observer != observers_.end())
    services_.ax.addNotification(observer->second, element, ax::elementDestroyed);
  signal();
}

void WindowWatcher::signal() {
  if (isSignalling_) return;  // absorbed into the signal already pending
  isSignalling_ = true;
  later(kCoalescing, [this] {
    isSignalling_ = false;
    onChange_(Change::windows);
  });
}

}  // namespace kestles::engine
