#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "KestlesCore/apply/ApplyPlan.hpp"
#include "KestlesCore/apply/LaunchQueue.hpp"
#include "KestlesCore/library/LayoutEntry.hpp"
#include "KestlesCore/undo/UndoEntry.hpp"
#include "KestlesCore/world/World.hpp"
#include "KestlesEngine/engine/Displays.hpp"
#include "KestlesEngine/engine/Launcher.hpp"
#include "KestlesEngine/engine/RunningApps.hpp"
#include "KestlesEngine/engine/WindowEngine.hpp"

namespace kestles {
struct Library;
}

namespace kestles::engine {

/// What an apply did.
struct ApplyReport {
  ApplyPlan plan;
  World before;  // the snapshot taken before anything moved, kept for undo
  platform::Duration duration{0};
  std::vector<std::string> failures;
  std::vector<std::uint32_t> leftFullScreen;
};

/// What an undo did.
struct UndoReport {
  World before;
  std::vector<std::uint32_t> leftFullScreen;
};

/// Turns requests (apply a kestle or a layout, undo) into engine operations on the main
/// thread: snapshot, plan, leave full screen, place, open missing apps and place their first
/// windows as they appear. Its waiting runs on one-shot timers of the main context.
class Conductor {
 public:
  struct Services {
    WindowEngine& engine;
    RunningApps& runningApps;
    Displays& displays;
    Launcher& launcher;
    platform::Workspace& workspace;
    platform::LogSink& log;
    platform::Clock& clock;
    platform::Timers& timers;  // must deliver on the main context
  };

  struct Options {
    Gaps gaps;
    platform::Duration glide{0};
  };

  /// Builds the plan for the world the conductor has just read.
  using Planner = std::function<ApplyPlan(const World&)>;

  static constexpr platform::Duration kAskAfter = platform::seconds(4);
  static constexpr platform::Duration kGiveUpAfter = platform::seconds(20);
  static constexpr platform::Duration kRecheckAfter = platform::seconds(0.45);
  static constexpr platform::Duration kFullScreenLook = platform::seconds(0.1);
  static constexpr platform::Duration kFullScreenAtLeast = platform::seconds(1.5);
  static constexpr platform::Duration kFullScreenAtMost = platform::seconds(3);

  explicit Conductor(Services services);
  /// Cancels the waiting still under way.
  ~Conductor();
  Conductor(const Conductor&) = delete;
  Conductor& operator=(const Conductor&) = delete;

  /// The running apps' windows on the displays, with `floating` copied in.
  World snapshot();
  ApplyReport apply(const Kestle& kestle, const Options& options);
  ApplyReport apply(const LayoutEntry& layout, const std::string& displayID,
                    const Options& options);
  /// Applies the plan the planner builds for the current world.
  ApplyReport apply(const Planner& planner, const Options& options);
  /// Carries the moves out without un-hiding or focusing.
  WindowEngine::Outcome place(const std::vector<ApplyPlan::Move>& moves, const World& world,
                              platform::Duration glide = platform::Duration{0});
  /// Takes the windows out of full screen and waits for them and the Spaces to settle;
  /// returns the ids that left.
  std::vector<std::uint32_t> leaveFullScreen(const std::vector<std::uint32_t>& windows);
  /// Puts the entry's windows back through the engine.
  UndoReport undo(const UndoEntry& entry);
  /// Puts the entry's library part back, then its windows; returns the report and the
  /// entry that does the opposite (its library part; the windows are the report's `before`).
  std::pair<UndoReport, UndoEntry> undo(const UndoEntry& entry, Library& library);
  /// Ends the waiting for opened apps and the re-check; a stop while placing calls
  /// `onPlacingStopped` instead of `onPlacingEnded`.
  void stop();

  bool isPlacing() const { return isPlacing_; }
  /// Whether the wait for opened apps' windows is under way.
  bool isLaunching() const { return launching_ != nullptr; }

  std::function<void(const AppRef&)> onOpenFailed;
  std::function<void()> onPlacingEnded;
  std::function<void(const std::vector<ApplyPlan::Move>&)> onPlacing;
  std::function<void()> onPlacingStopped;
  /// The frames the re-check after a placement read, by window id.
  std::function<void(const std::map<std::uint32_t, CGRect>&)> onRechecked;
  std::set<std::string> floating;

 private:
  /// The apps being opened and the tiles their windows fill.
  struct Launching {
    LaunchQueue queue;
    std::map<std::string, platform::ContinuousInstant> openedAt;
    std::set<std::string> failed;
    std::set<std::string> asked;
    std::map<std::string, AppRef> apps;
    platform::ContinuousInstant began;
    platform::Duration glide{0};
    std::optional<std::uint64_t> timer;
  };

  std::vector<std::uint32_t> fullScreenIn(const ApplyPlan& plan, const World& world) const;
  void openApps(const ApplyPlan& plan, Launching& launching);
  void scheduleLook();
  void look();
  void askForWindows(const World& world);
  void giveUp();
  void endPlacing();
  void recheck(std::vector<std::uint32_t> windows);
  void log(platform::LogLevel level, std::string message);

  Services services_;
  std::int32_t ownPID_ = 0;
  bool isPlacing_ = false;
  std::unique_ptr<Launching> launching_;
  std::optional<std::uint64_t> reasserting_;
};

}  // namespace kestles::engine
