#include "KestlesEngine/engine/Conductor.hpp"

#include <algorithm>
#include <chrono>

#include "KestlesCore/apply/FullScreen.hpp"

namespace kestles::engine {

using platform::formatLog;
using platform::LogLevel;

namespace {

double inSeconds(platform::Duration duration) {
  return std::chrono::duration<double>(duration).count();
}

/// A list of names as the log shows it: ["a", "b"].
std::string describeList(const std::vector<std::string>& names) {
  std::string text = "[";
  for (const auto& name : names)
    text += (text.size() > 1 ? ", \"" : "\"") + name + "\"";
  return text + "]";
}

std::optional<CGRect> visibleFrame(const World& world, const std::string& displayID) {
  for (const auto& display : world.setup.displays)
    if (display.id == displayID) return display.visibleFrame;
  return std::nullopt;
}

std::vector<WindowEngine::MoveRequest> moveRequests(const std::vector<ApplyPlan::Move>& moves,
                                                    const World& world) {
  std::vector<WindowEngine::MoveRequest> requests;
  for (const auto& move : moves) {
    requests.push_back({move.window, move.frame, visibleFrame(world, move.displayID),
                        static_cast<int>(requests.size())});
  }
  return requests;
}

/// Moved windows are raised back to front so that the plan's first window ends in front.
WindowEngine::ApplyRequest applyRequest(const ApplyPlan& plan, const World& world) {
  WindowEngine::ApplyRequest request;
  request.description = plan.title;
  request.unhide = plan.unhide;
  request.unminimize = plan.unminimize;
  request.moves = moveRequests(plan.moves, world);
  if (plan.raises)
    for (auto move = plan.moves.rbegin(); move != plan.moves.rend(); ++move)
      request.raise.push_back(move->window);
  request.focus = plan.focus;
  return request;
}

}  // namespace

Conductor::Conductor(Services services)
    : services_(services), ownPID_(services.workspace.ownPID()) {}

Conductor::~Conductor() {
  if (launching_ && launching_->timer) services_.timers.cancel(*launching_->timer);
  cancelLeaving();
}

World Conductor::snapshot() {
  auto apps = services_.runningApps.list();
  std::erase_if(apps, [&](const AppSnapshot& app) { return app.pid == ownPID_; });
  auto world = services_.engine.snapshot(apps, services_.displays.setup());
  world.floating = floating;
  return world;
}

ApplyReport Conductor::apply(const ApplyPlan& plan, const World& world, const Options& options) {
  // One wait at a time: a new request ends the previous one.
  if (launching_ || leaving_) stop();
  ApplyReport report;
  auto start = services_.clock.now();
  report.before = world;
  report.plan = plan;
  isPlacing_ = true;
  if (onPlacing) onPlacing(report.plan.moves);
  auto outcome = services_.engine.apply(applyRequest(report.plan, world), world, options.glide);
  report.failures = outcome.failures;

  std::set<std::uint32_t> known;
  for (const auto& window : world.windows)
    known.insert(window.id);
  auto launching = std::make_unique<Launching>();
  launching->queue = LaunchQueue::make(report.plan.launches, std::move(known));
  launching->tilings = report.plan.tilings;
  launching->began = services_.clock.now();
  launching->glide = options.glide;
  openApps(report.plan, *launching, report.failures);
  if (launching->queue.isDone()) {
    endPlacing();
  } else {
    launching_ = std::move(launching);
    scheduleLook();
  }
  report.duration = services_.clock.now() - start;
  auto toOpen = std::count_if(report.plan.launches.begin(), report.plan.launches.end(),
                              [](const auto& launch) { return !launch.isRunning; });
  log(LogLevel::info,
      formatLog("Applied %{public}s in %{public}s; %ld apps to open, %ld failures",
                report.plan.title, platform::describe(report.duration), static_cast<long>(toOpen),
                static_cast<long>(report.failures.size())));
  return report;
}

WindowEngine::Outcome Conductor::place(const std::vector<ApplyPlan::Move>& moves,
                                       const World& world, platform::Duration glide) {
  return services_.engine.place(moveRequests(moves, world), world, glide);
}

std::vector<std::uint32_t> Conductor::fullScreenAmong(const std::map<std::uint32_t, CGRect>& frames,
                                                      const World& world) {
  std::vector<std::uint32_t> windows;
  for (const auto& window : world.windows)
    if (window.isFullScreen && frames.contains(window.id)) windows.push_back(window.id);
  return windows;
}

void Conductor::leaveFullScreen(const std::vector<std::uint32_t>& windows,
                                std::function<void(const std::vector<std::uint32_t>& left)> then) {
  cancelLeaving();
  auto leaving = std::make_shared<Leaving>();
  leaving->exit.windows = windows;
  leaving->began = services_.clock.now();
  leaving->then = std::move(then);
  std::weak_ptr<Leaving> weak = leaving;
  // The cues come on the desktop's own thread; each becomes a look on the main context, where
  // the wait's state lives.
  leaving->observer =
      services_.workspace.observe([this, weak](const platform::WorkspaceNotification& note) {
        using Kind = platform::WorkspaceNotification::Kind;
        bool isSwitch = note.kind == Kind::activeSpaceDidChange;
        if (!isSwitch && note.kind != Kind::windowFullScreenDidChange) return;
        services_.timers.schedule(platform::Duration{0}, [this, weak, isSwitch] {
          auto waiting = weak.lock();
          if (!waiting || waiting != leaving_) return;
          if (isSwitch) ++waiting->switches;
          lookAtLeaving(false);
        });
      });
  leaving->timers = {
      services_.timers.schedule(kFullScreenAtLeast, [this] { lookAtLeaving(false); }),
      services_.timers.schedule(kFullScreenAtMost, [this] { lookAtLeaving(true); })};
  leaving_ = std::move(leaving);
  services_.engine.setFullScreen(windows, false);
}

void Conductor::lookAtLeaving(bool atMost) {
  if (!leaving_) return;
  auto elapsed = services_.clock.now() - leaving_->began;
  leaving_->exit.hasSwitched = leaving_->switches > 0;
  bool settled = leaving_->exit.isSettled(snapshot(), inSeconds(elapsed));
  if (!settled && !atMost) return;
  auto leaving = leaving_;
  cancelLeaving();
  std::vector<std::uint32_t> left;
  for (const auto& [id, state] : services_.engine.fullScreenStates(leaving->exit.windows))
    if (!state.isFullScreen) left.push_back(id);
  log(LogLevel::info,
      formatLog("%ld windows left full screen in %{public}s; Space switches heard: %ld, "
                "settled: %{bool}d",
                static_cast<long>(left.size()), platform::describe(elapsed), leaving->switches,
                settled ? "true" : "false"));
  leaving->then(left);
}

void Conductor::cancelLeaving() {
  if (!leaving_) return;
  services_.workspace.stopObserving(leaving_->observer);
  for (auto timer : leaving_->timers)
    services_.timers.cancel(timer);
  leaving_.reset();
}

std::size_t Conductor::undo(const UndoEntry& entry, const World& world) {
  return services_.engine.undo(entry, world);
}

void Conductor::stop() {
  bool wasPlacing = isPlacing_;
  if (launching_ && launching_->timer) services_.timers.cancel(*launching_->timer);
  launching_.reset();
  cancelLeaving();
  if (!wasPlacing) return;
  isPlacing_ = false;
  if (onPlacingStopped) onPlacingStopped();
}

void Conductor::openApps(const ApplyPlan& plan, Launching& launching,
                         std::vector<std::string>& failures) {
  for (const auto& launch : plan.launches) {
    const auto& bundleID = launch.app.bundleID;
    launching.apps[bundleID] = launch.app;
    launching.openedAt[bundleID] = services_.clock.now();
    // A running app without a window is not opened now: it is asked once, after 4 s.
    if (launch.isRunning) continue;
    auto failure = services_.launcher.open(launch.app);
    if (!failure) continue;
    log(LogLevel::error,
        formatLog("Opening %{public}s failed: %{public}s", launch.app.name, *failure));
    launching.failed.insert(bundleID);
    launching.queue.drop(bundleID);
    // The user hears of it with the apply's other failures, not only the log.
    failures.push_back(*failure + ".");
    if (onOpenFailed) onOpenFailed(launch.app);
  }
}

void Conductor::scheduleLook() {
  auto elapsed = inSeconds(services_.clock.now() - launching_->began);
  launching_->timer =
      services_.timers.schedule(platform::seconds(LaunchQueue::pollInterval(elapsed)), [this] {
        if (launching_) look();
      });
}

void Conductor::look() {
  launching_->timer.reset();
  auto world = snapshot();
  auto moves = launching_->queue.place(world.windows);
  std::vector<ApplyPlan::Move> placed;
  if (!moves.empty()) {
    auto outcome = place(moves, world, launching_->glide);
    // Only a window that took its frame stands in its tile.
    for (const auto& move : moves)
      if (outcome.frames.contains(move.window)) placed.push_back(move);
    log(LogLevel::info, formatLog("Placed %ld opened windows; %ld apps still to show one",
                                  static_cast<long>(moves.size()),
                                  static_cast<long>(launching_->queue.waitingApps(world).size())));
  }
  askForWindows(world);
  giveUp();
  auto tilings = launching_->tilings;
  if (launching_->queue.isDone()) {
    launching_.reset();
    endPlacing();
  } else {
    scheduleLook();
  }
  // Told last: the listener may start another apply, which ends this wait.
  if (onPlacedOpened && !placed.empty()) onPlacedOpened(placed, tilings, world);
}

void Conductor::lookNow() {
  if (!launching_) return;
  if (launching_->timer) services_.timers.cancel(*launching_->timer);
  look();
}

void Conductor::askForWindows(const World& world) {
  auto now = services_.clock.now();
  for (const auto& bundleID : launching_->queue.waitingApps(world)) {
    if (now - launching_->openedAt[bundleID] <= kAskAfter) continue;
    if (!launching_->asked.insert(bundleID).second) continue;
    const auto& app = launching_->apps[bundleID];
    log(LogLevel::info, formatLog("%{public}s opened with no windows; asking for one", app.name));
    if (auto failure = services_.launcher.open(app))
      log(LogLevel::error, formatLog("Opening %{public}s failed: %{public}s", app.name, *failure));
  }
}

void Conductor::giveUp() {
  auto now = services_.clock.now();
  std::vector<std::string> dropped;
  for (const auto& bundleID : launching_->queue.order) {
    auto pending = launching_->queue.pending.find(bundleID);
    if (pending == launching_->queue.pending.end() || pending->second.empty()) continue;
    if (now - launching_->openedAt[bundleID] >= kGiveUpAfter) dropped.push_back(bundleID);
  }
  for (const auto& bundleID : dropped)
    launching_->queue.drop(bundleID);
  if (!dropped.empty())
    log(LogLevel::notice,
        formatLog("Gave up waiting for windows of %{public}s", describeList(dropped)));
}

void Conductor::endPlacing() {
  isPlacing_ = false;
  if (onPlacingEnded) onPlacingEnded();
}

void Conductor::log(LogLevel level, std::string message) {
  services_.log.write({level, platform::LogCategory::engine, std::move(message)});
}

}  // namespace kestles::engine
