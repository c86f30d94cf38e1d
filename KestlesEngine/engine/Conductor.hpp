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
#include "KestlesCore/apply/FullScreen.hpp"
#include "KestlesCore/apply/LaunchQueue.hpp"
#include "KestlesCore/undo/UndoEntry.hpp"
#include "KestlesCore/world/World.hpp"
#include "KestlesEngine/engine/Displays.hpp"
#include "KestlesEngine/engine/Launcher.hpp"
#include "KestlesEngine/engine/RunningApps.hpp"
#include "KestlesEngine/engine/WindowEngine.hpp"

namespace kestles::engine {

/// What an apply did.
struct ApplyReport {
  ApplyPlan plan;
  World before;  // the snapshot the plan was made on, kept for undo
  platform::Duration duration{0};
  std::vector<std::string> failures;
};

/// Carries out the plans the core makes on the engine, on the main thread: snapshots to
/// plan on, leaving full screen, placing, opening missing apps and placing their first
/// windows as they appear, and undo. The caller plans once on one snapshot; when the plan
/// moves full-screen windows, the caller has them leave full screen and plans again on a
/// fresh snapshot. Its waiting runs on one-shot timers of the main context.
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

  static constexpr platform::Duration kAskAfter = platform::seconds(4);
  static constexpr platform::Duration kGiveUpAfter = platform::seconds(20);
  static constexpr platform::Duration kFullScreenAtLeast = platform::seconds(1.5);
  static constexpr platform::Duration kFullScreenAtMost = platform::seconds(3);

  explicit Conductor(Services services);
  /// Cancels the waiting still under way.
  ~Conductor();
  Conductor(const Conductor&) = delete;
  Conductor& operator=(const Conductor&) = delete;

  /// The running apps' windows on the displays, with `floating` copied in.
  World snapshot();
  /// Carries out the plan made on `world` (no window of it full screen), then opens the
  /// apps it launches and places their first windows as they appear.
  ApplyReport apply(const ApplyPlan& plan, const World& world, const Options& options);
  /// Carries the moves out without un-hiding or focusing.
  WindowEngine::Outcome place(const std::vector<ApplyPlan::Move>& moves, const World& world,
                              platform::Duration glide = platform::Duration{0});
  /// The windows among those the frames move that are full screen in the world.
  static std::vector<std::uint32_t> fullScreenAmong(const std::map<std::uint32_t, CGRect>& frames,
                                                    const World& world);
  /// Takes the windows out of full screen and calls `then` on the main context with the ids
  /// that left, once the windows and the Spaces have settled. The workspace's cues (a
  /// window's full-screen change, a Space switch) and the 1.5 s mark are the moments to look;
  /// the wait ends at 3 s in any case. A new wait, an apply or `stop` ends a wait under way
  /// without calling its `then`.
  void leaveFullScreen(const std::vector<std::uint32_t>& windows,
                       std::function<void(const std::vector<std::uint32_t>& left)> then);
  /// Whether a wait for windows leaving full screen is under way.
  bool isLeavingFullScreen() const { return leaving_ != nullptr; }
  /// Puts the entry's windows back on the world through the engine (frames, minimizing,
  /// hiding, full screen); returns how many windows moved back.
  std::size_t undo(const UndoEntry& entry, const World& world);
  /// Ends the waiting for opened apps and for windows leaving full screen; a stop while
  /// placing calls `onPlacingStopped` instead of `onPlacingEnded`.
  void stop();

  bool isPlacing() const { return isPlacing_; }
  /// Whether the wait for opened apps' windows is under way.
  bool isLaunching() const { return launching_ != nullptr; }
  /// Looks for opened apps' windows at once rather than at the next poll (windows came):
  /// whoever looks at the new windows next finds the launched ones in their tiles already.
  /// Nothing when no wait is under way.
  void lookNow();

  std::function<void(const AppRef&)> onOpenFailed;
  std::function<void()> onPlacingEnded;
  std::function<void(const std::vector<ApplyPlan::Move>&)> onPlacing;
  std::function<void()> onPlacingStopped;
  /// Opened apps' windows were placed: the moves of the windows that took their frames, the
  /// applied plan's tilings (by display) the tiles belong to, and the snapshot they were
  /// found in.
  std::function<void(const std::vector<ApplyPlan::Move>& placed,
                     const std::map<std::string, Tiling>& planned, const World& world)>
      onPlacedOpened;
  std::set<std::string> floating;

 private:
  /// The apps being opened and the tiles their windows fill.
  struct Launching {
    LaunchQueue queue;
    std::map<std::string, Tiling> tilings;  // the plan's, which hold the tiles waiting
    std::map<std::string, platform::ContinuousInstant> openedAt;
    std::set<std::string> failed;
    std::set<std::string> asked;
    std::map<std::string, AppRef> apps;
    platform::ContinuousInstant began;
    platform::Duration glide{0};
    std::optional<std::uint64_t> timer;
  };

  /// Windows on their way out of full screen.
  struct Leaving {
    FullScreen::Exit exit;
    platform::ContinuousInstant began;
    long switches = 0;
    std::uint64_t observer = 0;
    std::vector<std::uint64_t> timers;
    std::function<void(const std::vector<std::uint32_t>&)> then;
  };

  /// A look after a cue: ends the wait when the windows settled, or `atMost` says so.
  void lookAtLeaving(bool atMost);
  /// Ends the wait without calling `then`.
  void cancelLeaving();
  /// Opens the plan's apps that are not running; the sentence of each that cannot be opened
  /// joins `failures`.
  void openApps(const ApplyPlan& plan, Launching& launching, std::vector<std::string>& failures);
  void scheduleLook();
  void look();
  void askForWindows(const World& world);
  void giveUp();
  void endPlacing();
  void log(platform::LogLevel level, std::string message);

  Services services_;
  std::int32_t ownPID_ = 0;
  bool isPlacing_ = false;
  std::unique_ptr<Launching> launching_;
  std::shared_ptr<Leaving> leaving_;  // shared with the cues on their way to the main context
};

}  // namespace kestles::engine
