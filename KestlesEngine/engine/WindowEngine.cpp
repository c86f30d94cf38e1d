#include "KestlesEngine/engine/WindowEngine.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <unordered_set>

#include "KestlesCore/coding/JSONFile.hpp"
#include "KestlesCore/layout/Glide.hpp"
#include "KestlesCore/layout/LateLanding.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles::engine {
namespace {

using platform::AXElement;
using platform::Duration;
using platform::formatLog;
using platform::LogLevel;
namespace ax = platform::ax;
namespace ax_error = platform::ax_error;

constexpr Duration kFramePace = std::chrono::milliseconds(16);
constexpr Duration kFrameAbandon = std::chrono::milliseconds(40);
constexpr Duration kLateLandingDelay = std::chrono::milliseconds(500);
constexpr float kSystemWideTimeout = 1.0f;
constexpr float kGlideTimeout = 0.05f;
constexpr double kTolerance = 1.0;

constexpr std::array<std::string_view, 6> kWindowAttributes{
    ax::subrole, ax::title, ax::position, ax::size, ax::minimized, ax::fullScreen};

// Every edge within `tolerance` points.
bool edgesMatch(const CGRect& a, const CGRect& b, double tolerance = kTolerance) {
  return std::fabs(a.minX() - b.minX()) <= tolerance &&
         std::fabs(a.minY() - b.minY()) <= tolerance &&
         std::fabs(a.maxX() - b.maxX()) <= tolerance && std::fabs(a.maxY() - b.maxY()) <= tolerance;
}

template <class T>
const T* as(const std::optional<platform::AXValue>& value) {
  return value ? std::get_if<T>(&*value) : nullptr;
}

bool flag(const std::optional<platform::AXValue>& value) {
  if (auto on = as<bool>(value)) return *on;
  if (auto number = as<double>(value)) return *number != 0;
  return false;
}

// The in-between frame of a glide, in whole points.
CGRect interpolated(const CGRect& from, const CGRect& to, double fraction) {
  auto mix = [fraction](double a, double b) { return a + (b - a) * fraction; };
  return CGRect(mix(from.origin.x, to.origin.x), mix(from.origin.y, to.origin.y),
                mix(from.size.width, to.size.width), mix(from.size.height, to.size.height))
      .rounded();
}

// Where a window of the size it really took sits centred on its target inside the area:
// truncated to whole points, then clamped so that it stays inside.
double centredEdge(double targetMid, double length, double areaMin, double areaMax) {
  return std::min(std::max(std::trunc(targetMid - length / 2), areaMin),
                  std::max(areaMin, areaMax - length));
}

// A window of `size` centred on its target, inside the area it must stay in.
CGRect centredIn(const CGRect& target, const CGRect& within, CGSize size) {
  return {centredEdge(target.midX(), size.width, within.minX(), within.maxX()),
          centredEdge(target.midY(), size.height, within.minY(), within.maxY()), size.width,
          size.height};
}

// Late landing needs an area; without one nothing limits where the window may go.
const CGRect kUnbounded(-1e9, -1e9, 2e9, 2e9);

}  // namespace

WindowEngine::WindowEngine(Services services) : services_(std::move(services)) {}

WindowEngine::~WindowEngine() {
  {
    std::lock_guard lock(checksMutex_);
    closing_ = true;
    for (auto token : pendingChecks_)
      services_.timers.cancel(token);
  }
  // Checks handed over before closing run now, while the engine still exists.
  services_.queue.sync([] {});
}

void WindowEngine::log(LogLevel level, std::string message) {
  services_.log.write({level, platform::LogCategory::engine, std::move(message)});
}

bool WindowEngine::isCached(std::uint32_t id) const {
  return elements_.contains(id) && owners_.contains(id);
}

LearnedSizes WindowEngine::learnedSizes() {
  LearnedSizes copy;
  services_.queue.sync([&] { copy = sizes_; });
  return copy;
}

void WindowEngine::start() {
  services_.queue.sync([this] {
    sizes_ = {};
    if (!services_.limitsFile.empty()) {
      try {
        if (auto loaded = JSONFile<LearnedSizes>{services_.limitsFile}.load()) sizes_ = *loaded;
      } catch (const std::exception&) {
        // An unreadable file starts the limits afresh; the next save replaces it.
      }
    }
    services_.ax.setMessagingTimeout(services_.ax.systemWide(), kSystemWideTimeout);
  });
}

// Snapshot.

World WindowEngine::snapshot(const std::vector<AppSnapshot>& apps, const DisplaySetup& setup) {
  World world;
  services_.queue.sync([&] { world = takeSnapshot(apps, setup); });
  return world;
}

void WindowEngine::prune(const std::vector<AppSnapshot>& apps) {
  std::unordered_set<std::int32_t> reading;
  for (const auto& app : apps)
    reading.insert(app.pid);
  std::unordered_map<std::int32_t, bool> gone;
  auto isGone = [&](std::int32_t pid) {
    auto found = gone.find(pid);
    if (found == gone.end())
      found = gone.emplace(pid, !services_.workspace.processExists(pid)).first;
    return found->second;
  };
  std::vector<std::uint32_t> stale;
  for (const auto& [id, pid] : owners_)
    if (reading.contains(pid) || isGone(pid)) stale.push_back(id);
  for (auto id : stale) {
    elements_.erase(id);
    owners_.erase(id);
    bundles_.erase(id);
  }
  // A gone process's elements can never be read again, so their synthetic ids would only
  // pile up over a long session.
  std::erase_if(syntheticIDs_, [&](const auto& entry) { return isGone(entry.second.second); });
}

WindowEngine::AppRead WindowEngine::readApp(const AppSnapshot& app) {
  auto& ax = services_.ax;
  AppRead read;
  auto windows = ax.elements(ax.application(app.pid), ax::windows);
  read.total = windows.size();
  for (auto element : windows) {
    auto values = ax.values(element, kWindowAttributes);
    auto subrole = as<std::string>(values[0]);
    auto position = as<CGPoint>(values[2]);
    auto size = as<CGSize>(values[3]);
    if (!subrole || *subrole != ax::standardWindow || !position || !size) {
      std::string reason = subrole ? *subrole : "no subrole";
      reason.append(" ").append(position ? "" : "no position");
      read.reasons.push_back(std::move(reason));
      continue;
    }
    RawWindow window;
    window.element = element;
    window.pid = app.pid;
    window.bundleID = app.bundleID;
    window.appName = app.name;
    if (auto number = ax.windowNumber(element); number && *number != 0) window.id = number;
    if (auto title = as<std::string>(values[1])) window.title = *title;
    window.frame = CGRect(*position, *size);
    window.isMinimized = flag(values[4]);
    window.isFullScreen = flag(values[5]);
    window.isResizable = ax.isSettable(element, ax::size);
    read.windows.push_back(std::move(window));
  }
  return read;
}

std::optional<std::uint32_t> WindowEngine::settleID(
    const RawWindow& window, std::vector<platform::WindowServer::Window>& candidates) {
  if (window.id) return window.id;
  auto match = std::find_if(candidates.begin(), candidates.end(), [&](const auto& listed) {
    return listed.pid == window.pid && edgesMatch(listed.frame, window.frame);
  });
  if (match != candidates.end()) {
    auto id = match->id;
    candidates.erase(match);  // one listed window serves one element
    return id;
  }
  if (auto known = syntheticIDs_.find(window.element); known != syntheticIDs_.end())
    return known->second.first;
  // Ids are never reused: once the counter is spent, a window without a number is left out.
  if (nextSyntheticID_ == 0xFFFFFFFF) return std::nullopt;
  auto id = ++nextSyntheticID_;
  syntheticIDs_[window.element] = {id, window.pid};
  return id;
}

std::optional<std::string> WindowEngine::activeDisplay(const DisplaySetup& setup) {
  auto& ax = services_.ax;
  std::optional<CGRect> focusedFrame;
  if (auto app = ax.element(ax.systemWide(), ax::focusedApplication)) {
    auto pid = ax.pid(*app);
    if (pid && *pid != services_.workspace.ownPID()) {
      auto window = ax.element(*app, ax::focusedWindow);
      focusedFrame = window ? ax.frame(*window) : std::nullopt;
    }
  }
  if (auto display = setup.active(focusedFrame)) return display->id;
  return std::nullopt;
}

World WindowEngine::takeSnapshot(const std::vector<AppSnapshot>& apps, const DisplaySetup& setup) {
  auto started = services_.clock.now();
  prune(apps);
  auto listed = services_.windowServer.onScreenWindows().value_or(
      std::vector<platform::WindowServer::Window>{});
  std::unordered_map<std::uint32_t, std::int64_t> onScreen;
  for (std::size_t i = 0; i < listed.size(); ++i)
    onScreen.emplace(listed[i].id, std::int64_t(i));

  // Each slot is written by its own iteration only.
  std::vector<AppRead> reads(apps.size());
  services_.parallel.run(apps.size(), [&](std::size_t i) { reads[i] = readApp(apps[i]); });

  // A listed window that an element already claims by number cannot serve another.
  std::unordered_set<std::uint32_t> numbered;
  for (const auto& read : reads)
    for (const auto& window : read.windows)
      if (window.id) numbered.insert(*window.id);
  auto candidates = listed;
  std::erase_if(candidates, [&](const auto& window) { return numbered.contains(window.id); });

  World world;
  world.setup = setup;
  world.apps = apps;
  for (std::size_t a = 0; a < apps.size(); ++a) {
    const auto& read = reads[a];
    if (!read.reasons.empty())
      log(LogLevel::debug,
          formatLog("%{public}s: skipped %ld of %ld AX windows: %{public}s", apps[a].name,
                    long(read.reasons.size()), long(read.total), text::joined(read.reasons, ", ")));
    for (const auto& raw : read.windows) {
      auto id = settleID(raw, candidates);
      if (!id) continue;
      elements_[*id] = raw.element;
      owners_[*id] = raw.pid;
      bundles_[*id] = raw.bundleID;
      WindowSnapshot window;
      window.id = *id;
      window.pid = raw.pid;
      window.bundleID = raw.bundleID;
      window.appName = raw.appName;
      window.title = raw.title;
      window.frame = raw.frame;
      window.isMinimized = raw.isMinimized;
      window.isFullScreen = raw.isFullScreen;
      auto limits = sizes_.limits(*id, raw.bundleID);
      window.minimumSize = limits.minimum;
      window.maximumSize = limits.maximum;
      window.isResizable = raw.isResizable;
      auto z = onScreen.find(*id);
      window.zIndex =
          z != onScreen.end() ? z->second : std::int64_t(listed.size() + world.windows.size());
      world.windows.push_back(std::move(window));
    }
  }
  world.activeDisplayID = activeDisplay(setup);
  std::set<std::uint32_t> seen;
  for (const auto& window : world.windows)
    seen.insert(window.id);
  for (auto number : services_.windowServer.allWindowNumbers())
    if (!seen.contains(number)) world.elsewhere.insert(number);
  world.fullScreen = fullScreenWindows(setup, world.windows, std::int64_t(listed.size()));
  log(LogLevel::debug,
      formatLog("Snapshot: %ld windows of %ld apps in %{public}s", long(world.windows.size()),
                long(apps.size()), platform::describe(services_.clock.now() - started)));
  return world;
}

// Moves.

WindowEngine::Outcome WindowEngine::arrange(const std::vector<WindowMove>& moves, Duration glide) {
  Outcome outcome;
  services_.queue.sync([&] {
    auto started = services_.clock.now();
    std::vector<Target> targets;
    for (const auto& move : moves)
      targets.push_back({move.window, move.to, move.from, move.within, 0});
    outcome = moveWindows(targets, glide);
    log(LogLevel::debug,
        formatLog("Arranged %ld of %ld windows in %{public}s", long(outcome.frames.size()),
                  long(moves.size()), platform::describe(services_.clock.now() - started)));
  });
  return outcome;
}

WindowEngine::Outcome WindowEngine::place(const std::vector<MoveRequest>& moves, const World& world,
                                          Duration glide) {
  Outcome outcome;
  services_.queue.sync([&] { outcome = placeMoves(moves, world, glide); });
  return outcome;
}

WindowEngine::Outcome WindowEngine::placeMoves(const std::vector<MoveRequest>& moves,
                                               const World& world, Duration glide) {
  std::unordered_map<std::uint32_t, const WindowSnapshot*> known;
  for (const auto& window : world.windows)
    known.emplace(window.id, &window);
  std::vector<Target> targets;
  for (const auto& move : moves) {
    auto found = known.find(move.window);
    std::optional<CGRect> current;
    if (found != known.end()) current = found->second->frame;
    targets.push_back({move.window, move.frame, current, move.within, move.order});
  }
  auto outcome = moveWindows(targets, glide);
  for (const auto& move : moves) {
    if (outcome.frames.contains(move.window)) continue;
    auto found = known.find(move.window);
    outcome.failures.push_back("Couldn't move " +
                               (found != known.end() ? found->second->appName : "a window"));
  }
  return outcome;
}

WindowEngine::Outcome WindowEngine::apply(const ApplyRequest& request, const World& world,
                                          Duration glide) {
  Outcome outcome;
  services_.queue.sync([&] {
    auto& ax = services_.ax;
    auto started = services_.clock.now();
    for (auto pid : request.unhide)
      ax.setBool(ax.application(pid), ax::hidden, false);
    for (auto id : request.unminimize)
      if (elements_.contains(id)) ax.setBool(elements_[id], ax::minimized, false);
    outcome = placeMoves(request.moves, world, glide);
    raiseAndFocus(request.raise, request.focus);
    log(LogLevel::info,
        formatLog("Applied %{public}s: %ld of %ld windows in %{public}s", request.description,
                  long(outcome.frames.size()), long(request.moves.size()),
                  platform::describe(services_.clock.now() - started)));
  });
  return outcome;
}

std::size_t WindowEngine::undo(const UndoEntry& entry, const World& world) {
  std::size_t movedBack = 0;
  services_.queue.sync([&] {
    auto& ax = services_.ax;
    std::vector<Target> targets;
    for (const auto& window : world.windows)
      if (auto recorded = entry.frames.find(window.id); recorded != entry.frames.end())
        targets.push_back({window.id, recorded->second, window.frame, std::nullopt, 0});
    movedBack = moveWindows(targets, Duration{0}).frames.size();
    for (auto id : entry.minimize)
      if (elements_.contains(id)) ax.setBool(elements_[id], ax::minimized, true);
    for (auto pid : entry.hide)
      ax.setBool(ax.application(pid), ax::hidden, true);
    for (auto id : entry.fullScreen)
      if (isCached(id) && !ax.setBool(elements_[id], ax::fullScreen, true))
        log(LogLevel::notice,
            formatLog("Couldn't %{public}s full screen for a window of %d", "enter", owners_[id]));
    log(LogLevel::info,
        formatLog("Undid %{public}s: %ld windows back", entry.title, long(movedBack)));
  });
  return movedBack;
}

WindowEngine::Outcome WindowEngine::moveWindows(const std::vector<Target>& targets,
                                                Duration glide) {
  std::map<std::int32_t, Job> jobs;
  std::vector<Move> moves;
  for (const auto& target : targets) {
    if (!isCached(target.id)) continue;
    Move move{target, elements_[target.id]};
    asked_[target.id] = target.target;
    jobs[owners_[target.id]].pid = owners_[target.id];
    jobs[owners_[target.id]].moves.push_back(move);
    moves.push_back(move);
  }
  // The enhanced interface (used by assistive apps) animates every change; it stays off
  // while the windows move.
  auto& ax = services_.ax;
  std::vector<std::int32_t> enhanced;
  for (const auto& [pid, job] : jobs) {
    auto app = ax.application(pid);
    if (!ax.boolean(app, ax::enhancedUserInterface).value_or(false)) continue;
    ax.setBool(app, ax::enhancedUserInterface, false);
    enhanced.push_back(pid);
  }
  Outcome outcome;
  outcome.frames = push(moves, glideAll(jobs, glide));
  for (auto pid : enhanced)
    ax.setBool(ax.application(pid), ax::enhancedUserInterface, true);

  bool learned = false;
  for (const auto& move : moves) {
    auto landed = outcome.frames.find(move.id);
    if (landed == outcome.frames.end()) continue;
    if (auto change = learn(move.id, move.target.size, landed->second.size, true)) {
      learned = true;
      outcome.learnedMinimums = outcome.learnedMinimums || change->minimumChanged;
    }
  }
  if (learned) saveLimits();
  if (!moves.empty()) scheduleLateLanding(std::move(moves));
  return outcome;
}

std::map<std::uint32_t, CGRect> WindowEngine::glideAll(const std::map<std::int32_t, Job>& jobs,
                                                       Duration duration) {
  std::map<std::uint32_t, CGRect> glided;
  // With more apps than processors the glides would stutter; the windows jump instead.
  if (duration <= Duration{0} || int(jobs.size()) > services_.parallel.activeProcessors())
    return glided;
  std::vector<const Job*> list;
  for (const auto& [pid, job] : jobs)
    list.push_back(&job);
  std::mutex resultsMutex;
  services_.parallel.run(list.size(), [&](std::size_t i) {
    auto written = glide(*list[i], duration);
    std::lock_guard lock(resultsMutex);
    glided.merge(written);
  });
  return glided;
}

std::map<std::uint32_t, CGRect> WindowEngine::push(const std::vector<Move>& moves,
                                                   const std::map<std::uint32_t, CGRect>& glided) {
  std::map<std::uint32_t, CGRect> landed;
  std::vector<const Move*> sent;
  std::vector<platform::FrameRequest> requests;
  auto keepUnlessInPlace = [&](std::vector<const Move*>& kept,
                               std::vector<platform::FrameRequest>& asked, const Move& move,
                               const platform::FrameRequest& request) {
    const auto& from = request.current;
    if (from && edgesMatch(*from, request.frame) && from->origin == request.frame.origin) {
      landed[move.id] = *from;
      return;
    }
    kept.push_back(&move);
    asked.push_back(request);
  };
  for (const auto& move : moves) {
    auto from = glided.contains(move.id) ? std::optional(glided.at(move.id)) : move.current;
    keepUnlessInPlace(sent, requests, move, {move.element, owners_[move.id], move.target, from});
  }

  // A window that takes another size than its tile's (a terminal rounding to its cells) sits
  // in the middle of the tile, inside the area it must stay in. Where the layer knows that
  // size beforehand, the window is asked for its centred frame at once, and lands in one go.
  auto fitted = services_.ax.fittedSizes(requests);
  std::vector<const Move*> fittedSent;
  std::vector<platform::FrameRequest> fittedRequests;
  for (std::size_t i = 0; i < sent.size(); ++i) {
    auto request = requests[i];
    if (i < fitted.size() && fitted[i] && sent[i]->within)
      request.frame = centredIn(sent[i]->target, *sent[i]->within, *fitted[i]);
    keepUnlessInPlace(fittedSent, fittedRequests, *sent[i], request);
  }
  auto results = services_.ax.setFrames(fittedRequests);
  reportSilentApps(fittedRequests, results);

  // Where it was not known, the window is centred once it has landed.
  std::vector<const Move*> recentred;
  std::vector<platform::FrameRequest> recentring;
  for (std::size_t i = 0; i < fittedSent.size() && i < results.size(); ++i) {
    const auto& move = *fittedSent[i];
    if (results[i].error != ax_error::success || !results[i].landed) continue;
    auto read = *results[i].landed;
    landed[move.id] = read;
    if (!move.within) continue;
    auto centred = centredIn(move.target, *move.within, read.size);
    if (edgesMatch(read, centred)) continue;
    recentred.push_back(&move);
    recentring.push_back({move.element, owners_[move.id], centred, read});
  }
  if (recentring.empty()) return landed;
  auto again = services_.ax.setFrames(recentring);
  for (std::size_t i = 0; i < recentred.size(); ++i) {
    auto id = recentred[i]->id;
    if (i < again.size() && again[i].error == ax_error::success && again[i].landed)
      landed[id] = *again[i].landed;
    else
      landed.erase(id);
  }
  return landed;
}

void WindowEngine::reportSilentApps(const std::vector<platform::FrameRequest>& requests,
                                    const std::vector<platform::FrameResult>& results) {
  std::set<std::int32_t> silent;
  for (std::size_t i = 0; i < requests.size() && i < results.size(); ++i)
    if (results[i].error == ax_error::cannotComplete && silent.insert(requests[i].pid).second)
      log(LogLevel::notice,
          formatLog("App %d didn't answer: its windows stay where they are", requests[i].pid));
}

std::map<std::uint32_t, CGRect> WindowEngine::glide(const Job& job, Duration duration) {
  auto& ax = services_.ax;
  auto& clock = services_.clock;
  std::vector<const Move*> animated;
  for (const auto& move : job.moves)
    if (move.current && !edgesMatch(*move.current, move.target)) animated.push_back(&move);
  std::map<std::uint32_t, CGRect> written;
  if (animated.empty()) return written;

  int latest = 0;
  for (auto move : animated) {
    ax.setMessagingTimeout(move->element, kGlideTimeout);
    latest = std::max(latest, std::clamp(move->order, 0, Glide::kMostStaggered));
  }
  double seconds = std::chrono::duration<double>(duration).count();
  auto whole = duration + platform::seconds(Glide::delay(latest));
  std::map<std::uint32_t, CGRect> last;
  for (auto move : animated)
    last[move->id] = *move->current;

  auto started = clock.now();
  for (auto elapsed = Duration{0}; elapsed < whole; elapsed = clock.now() - started) {
    auto passStarted = clock.now();
    double at = std::chrono::duration<double>(elapsed).count();
    for (auto move : animated) {
      double fraction = Glide::progress(move->order, at, seconds).value_or(0);
      if (fraction >= 1) continue;
      auto frame = interpolated(*move->current, move->target, fraction);
      auto& previous = last[move->id];
      if (frame == previous) continue;
      if (frame.size != previous.size) ax.setSize(move->element, frame.size);
      if (frame.origin != previous.origin) ax.setPosition(move->element, frame.origin);
      previous = frame;
      written[move->id] = frame;
    }
    auto pass = clock.now() - passStarted;
    if (pass > kFrameAbandon) break;  // a frozen app: the final sets follow at once
    if (pass < kFramePace) clock.sleep(kFramePace - pass);
  }
  for (auto move : animated)
    ax.setMessagingTimeout(move->element, 0);
  return written;
}

// Learned sizes and the late-landing check.

std::optional<LearnedSizes::Learned> WindowEngine::learn(std::uint32_t id, CGSize asked,
                                                         CGSize actual, bool forgetting) {
  const auto& bundle = bundles_[id];
  auto learned = sizes_.learn(id, bundle, asked, actual, forgetting);
  if (!learned) return learned;
  auto limits = sizes_.limits(id, bundle);
  bool fixed = limits.maximum.width > 0 && limits.maximum.height > 0 &&
               std::fabs(limits.maximum.width - limits.minimum.width) <= 0.5 &&
               std::fabs(limits.maximum.height - limits.minimum.height) <= 0.5;
  log(LogLevel::info,
      formatLog("Learned size limits for a window of %{public}s: at least %f×%f, at most "
                "%f×%f%{public}s",
                bundle, limits.minimum.width, limits.minimum.height, limits.maximum.width,
                limits.maximum.height, std::string(fixed ? " (fixed)" : "")));
  return learned;
}

void WindowEngine::saveLimits() {
  if (services_.limitsFile.empty()) return;
  try {
    JSONFile<LearnedSizes>{services_.limitsFile}.save(sizes_);
  } catch (const std::exception& error) {
    log(LogLevel::error,
        formatLog("Saving size limits failed: %{public}s", json_style::describe(error)));
  }
}

void WindowEngine::scheduleLateLanding(std::vector<Move> moves) {
  auto token = std::make_shared<std::uint64_t>(0);
  std::lock_guard lock(checksMutex_);
  *token = services_.timers.schedule(kLateLandingDelay, [this, token, moves = std::move(moves)] {
    std::lock_guard fired(checksMutex_);
    if (closing_) return;
    pendingChecks_.erase(*token);
    services_.queue.async([this, moves] { checkLateLanding(moves); });
  });
  pendingChecks_.insert(*token);
}

void WindowEngine::checkLateLanding(const std::vector<Move>& moves) {
  auto& ax = services_.ax;
  bool learned = false;
  for (const auto& move : moves) {
    // A later request for the window supersedes this one.
    if (auto asked = asked_.find(move.id); asked == asked_.end() || asked->second != move.target)
      continue;
    auto frame = ax.frame(move.element);
    if (!frame) continue;
    if (!move.target.contains(frame->center()) && !frame->contains(move.target.center())) continue;
    if (bundles_.contains(move.id) && learn(move.id, move.target.size, frame->size, false))
      learned = true;
    auto verdict = LateLanding::verdict(move.target, *frame, move.within.value_or(kUnbounded));
    if (!verdict) continue;
    if (verdict->moveTo) ax.setPosition(move.element, *verdict->moveTo);
    log(LogLevel::info,
        formatLog("A window came out %f×%f a moment after it was asked for %f×%f%{public}s",
                  frame->width(), frame->height(), move.target.width(), move.target.height(),
                  std::string(verdict->moveTo ? "; to the middle of its tile" : "")));
  }
  if (learned) saveLimits();
}

// Raising, focus and full screen.

void WindowEngine::raise(const std::vector<std::uint32_t>& windows,
                         std::optional<std::uint32_t> focus) {
  services_.queue.sync([&] { raiseAndFocus(windows, focus); });
}

void WindowEngine::raiseAndFocus(const std::vector<std::uint32_t>& windows,
                                 std::optional<std::uint32_t> focus) {
  auto& ax = services_.ax;
  std::vector<platform::AXElement> order;
  for (auto id : windows)
    if (isCached(id)) order.push_back(elements_[id]);
  auto focused = focus && isCached(*focus) ? std::optional(elements_[*focus]) : std::nullopt;
  if ((!order.empty() || focused) && ax.raiseInOrder(order, focused)) return;
  std::unordered_set<std::int32_t> unresponsive;
  std::optional<std::int32_t> previous;   // the app of the previous raised window
  std::optional<std::int32_t> frontmost;  // the app last made frontmost
  for (auto id : windows) {
    if (!isCached(id)) continue;
    auto pid = owners_[id];
    if (unresponsive.contains(pid)) continue;
    if (!previous || *previous != pid) {
      auto made = ax.setValue(ax.application(pid), ax::frontmost, platform::AXValue{true});
      if (made == ax_error::cannotComplete) {
        unresponsive.insert(pid);
        continue;
      }
      frontmost = made == ax_error::success ? std::optional(pid) : std::nullopt;
    }
    previous = pid;
    if (ax.perform(elements_[id], ax::raise) == ax_error::cannotComplete) unresponsive.insert(pid);
  }
  if (!focus || !isCached(*focus)) return;
  auto pid = owners_[*focus];
  auto window = elements_[*focus];
  auto app = ax.application(pid);
  if (ax.boolean(app, ax::hidden).value_or(false)) ax.setBool(app, ax::hidden, false);
  if (ax.boolean(window, ax::minimized).value_or(false)) ax.setBool(window, ax::minimized, false);
  if (frontmost != pid || previous != pid) ax.setBool(app, ax::frontmost, true);
  ax.setBool(window, ax::main, true);
  ax.perform(window, ax::raise);
}

void WindowEngine::setFullScreen(const std::vector<std::uint32_t>& windows, bool enter) {
  services_.queue.sync([&] {
    for (auto id : windows)
      if (isCached(id) && !services_.ax.setBool(elements_[id], ax::fullScreen, enter))
        log(LogLevel::notice, formatLog("Couldn't %{public}s full screen for a window of %d",
                                        std::string(enter ? "enter" : "leave"), owners_[id]));
  });
}

std::map<std::uint32_t, WindowEngine::FullScreenState> WindowEngine::fullScreenStates(
    const std::vector<std::uint32_t>& windows) {
  std::map<std::uint32_t, FullScreenState> states;
  services_.queue.sync([&] {
    for (auto id : windows)
      if (elements_.contains(id))
        states[id] = {services_.ax.boolean(elements_[id], ax::fullScreen).value_or(false),
                      services_.ax.frame(elements_[id])};
  });
  return states;
}

std::map<std::uint32_t, CGRect> WindowEngine::frames(const std::vector<std::uint32_t>& windows) {
  std::map<std::uint32_t, CGRect> result;
  services_.queue.sync([&] {
    for (auto id : windows)
      if (elements_.contains(id))
        if (auto frame = services_.ax.frame(elements_[id])) result[id] = *frame;
  });
  return result;
}

std::map<std::uint32_t, SizeLimits> WindowEngine::limits(
    const std::vector<std::uint32_t>& windows) {
  std::map<std::uint32_t, SizeLimits> result;
  services_.queue.sync([&] {
    for (auto id : windows) {
      auto bundle = bundles_.find(id);
      result[id] = sizes_.limits(id, bundle != bundles_.end() ? bundle->second : std::string());
    }
  });
  return result;
}

std::optional<WindowEngine::FocusedWindow> WindowEngine::focusedWindow() {
  std::optional<FocusedWindow> result;
  services_.queue.sync([&] {
    auto& ax = services_.ax;
    auto app = ax.element(ax.systemWide(), ax::focusedApplication);
    if (!app) return;
    auto pid = ax.pid(*app);
    if (!pid) return;
    auto listed = services_.windowServer.onScreenWindows().value_or(
        std::vector<platform::WindowServer::Window>{});
    auto own = services_.workspace.ownPID();
    auto running = services_.workspace.runningApplications();
    if (*pid == own) {
      // This process's panel is in front: the window behind it is the one meant.
      auto regular = [&](std::int32_t candidate) {
        return std::any_of(running.begin(), running.end(), [&](const auto& entry) {
          return entry.pid == candidate && entry.isRegular && !entry.isTerminated;
        });
      };
      auto behind = std::find_if(listed.begin(), listed.end(), [&](const auto& window) {
        return window.pid != own && regular(window.pid);
      });
      if (behind == listed.end()) return;
      pid = behind->pid;
      app = ax.application(*pid);
      log(LogLevel::debug, formatLog("Front window behind Kestles's panel: app %d", *pid));
    }
    auto element = ax.element(*app, ax::focusedWindow);
    auto frame = element ? ax.frame(*element) : std::nullopt;
    if (!frame) return;
    RawWindow raw;
    raw.element = *element;
    raw.pid = *pid;
    raw.frame = *frame;
    if (auto number = ax.windowNumber(*element); number && *number != 0) raw.id = number;
    for (const auto& entry : running)
      if (entry.pid == *pid && entry.bundleID) raw.bundleID = *entry.bundleID;
    auto id = settleID(raw, listed);
    if (!id) return;
    elements_[*id] = raw.element;
    owners_[*id] = raw.pid;
    bundles_[*id] = raw.bundleID;
    result = FocusedWindow{*id, *pid, *frame, sizes_.limits(*id, raw.bundleID)};
  });
  return result;
}

}  // namespace kestles::engine
