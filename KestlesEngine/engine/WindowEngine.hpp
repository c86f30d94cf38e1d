#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "KestlesCore/display/DisplaySetup.hpp"
#include "KestlesCore/layout/LearnedSizes.hpp"
#include "KestlesCore/undo/UndoEntry.hpp"
#include "KestlesCore/world/World.hpp"
#include "KestlesEngine/platform/Accessibility.hpp"
#include "KestlesEngine/platform/LogSink.hpp"
#include "KestlesEngine/platform/Time.hpp"
#include "KestlesEngine/platform/WindowServer.hpp"
#include "KestlesEngine/platform/Workspace.hpp"

namespace kestles::engine {

/// The one place that changes other apps' windows: snapshots, moves with an optional glide,
/// raising and focus, full screen, undo, and the size limits windows teach. Every operation
/// runs on the engine's serial queue; each call waits for its operation to finish.
class WindowEngine {
 public:
  /// What the engine works through. The queue and timers must outlive the engine.
  struct Services {
    platform::Accessibility& ax;
    platform::WindowServer& windowServer;
    platform::Workspace& workspace;
    platform::LogSink& log;
    platform::Clock& clock;
    platform::Timers& timers;
    platform::SerialExecutor& queue;
    platform::ParallelFor& parallel;
    std::filesystem::path limitsFile;  // "minimums.json"; empty: nothing is read or saved
  };

  /// What a move did.
  struct Outcome {
    std::map<std::uint32_t, CGRect> frames;  // where each window that could be set ended
    bool learnedMinimums = false;            // a window taught a new minimum size
    std::vector<std::string> failures;       // one sentence per window that did not move
    bool operator==(const Outcome&) const = default;
  };

  /// A window to move from its current frame to `to`, staying inside `within`.
  struct WindowMove {
    std::uint32_t window = 0;
    CGRect from;
    CGRect to;
    std::optional<CGRect> within;
  };

  /// One window of a plan: where it goes, the area it stays in, its glide stagger step.
  struct MoveRequest {
    std::uint32_t window = 0;
    CGRect frame;
    std::optional<CGRect> within;
    int order = 0;
  };

  /// Everything a plan asks of the engine: apps to un-hide, windows to un-minimize, the
  /// moves, the windows to raise (back to front) and the window to focus.
  struct ApplyRequest {
    std::string description;
    std::vector<std::int32_t> unhide;
    std::vector<std::uint32_t> unminimize;
    std::vector<MoveRequest> moves;
    std::vector<std::uint32_t> raise;
    std::optional<std::uint32_t> focus;
  };

  struct FocusedWindow {
    std::uint32_t id = 0;
    std::int32_t pid = 0;
    CGRect frame;
    SizeLimits limits;
    bool operator==(const FocusedWindow&) const = default;
  };

  struct FullScreenState {
    bool isFullScreen = false;
    std::optional<CGRect> frame;
    bool operator==(const FullScreenState&) const = default;
  };

  /// The first synthetic id is one above this.
  static constexpr std::uint32_t kSyntheticIDBase = 0xF0000000;

  explicit WindowEngine(Services services);
  /// Cancels the late-landing checks still waiting and lets the queue finish the ones
  /// already handed to it.
  ~WindowEngine();
  WindowEngine(const WindowEngine&) = delete;
  WindowEngine& operator=(const WindowEngine&) = delete;

  /// Loads the size limits (a missing or unreadable file gives none), gives the
  /// system-wide element a 1 s messaging timeout and logs the private symbols found.
  void start();
  /// The world of the apps' standard windows on the setup; fills and prunes the caches.
  World snapshot(const std::vector<AppSnapshot>& apps, const DisplaySetup& setup);
  /// Moves each window from its frame to its target.
  Outcome arrange(const std::vector<WindowMove>& moves, platform::Duration glide);
  /// Moves the windows of a plan; a window that does not land gets a failure sentence.
  Outcome place(const std::vector<MoveRequest>& moves, const World& world,
                platform::Duration glide);
  /// Un-hides, un-minimizes, places, raises and focuses as the request says.
  Outcome apply(const ApplyRequest& request, const World& world, platform::Duration glide);
  /// Puts the entry's windows back (those still in the world), minimizes and hides again,
  /// and re-enters full screen; returns how many windows went back.
  std::size_t undo(const UndoEntry& entry, const World& world);
  /// Raises the windows (back to front) and focuses `focus`. A layer that raises them all
  /// at once leaves the focus where it was when there is no `focus`; raised one by one
  /// through their apps, it ends where the last activation left it.
  void raise(const std::vector<std::uint32_t>& windows, std::optional<std::uint32_t> focus);
  /// Enters or leaves full screen on each known window.
  void setFullScreen(const std::vector<std::uint32_t>& windows, bool enter);
  /// Whether each known window is full screen, and its frame.
  std::map<std::uint32_t, FullScreenState> fullScreenStates(
      const std::vector<std::uint32_t>& windows);
  /// The frames of the known windows that can be read.
  std::map<std::uint32_t, CGRect> frames(const std::vector<std::uint32_t>& windows);
  /// The focused app's focused window (behind this process's own panel: the frontmost
  /// window of another ordinary app's); nothing when it cannot be read.
  std::optional<FocusedWindow> focusedWindow();
  /// The learned limits of each window.
  std::map<std::uint32_t, SizeLimits> limits(const std::vector<std::uint32_t>& windows);
  /// The learned limits as they stand.
  LearnedSizes learnedSizes();

 private:
  struct Target {
    std::uint32_t id = 0;
    CGRect target;
    std::optional<CGRect> current;
    std::optional<CGRect> within;
    int order = 0;
  };
  /// A target with its window's element resolved.
  struct Move : Target {
    platform::AXElement element;
  };
  struct Job {
    std::int32_t pid = 0;
    std::vector<Move> moves;
  };
  struct RawWindow {
    platform::AXElement element;
    std::int32_t pid = 0;
    std::string bundleID;
    std::string appName;
    std::optional<std::uint32_t> id;
    std::string title;
    CGRect frame;
    bool isMinimized = false;
    bool isFullScreen = false;
    bool isResizable = false;
  };
  struct AppRead {
    std::vector<RawWindow> windows;
    std::size_t total = 0;
    std::vector<std::string> reasons;  // one per window left out
  };

  World takeSnapshot(const std::vector<AppSnapshot>& apps, const DisplaySetup& setup);
  void prune(const std::vector<AppSnapshot>& apps);
  AppRead readApp(const AppSnapshot& app);
  std::optional<std::uint32_t> settleID(const RawWindow& window,
                                        std::vector<platform::WindowServer::Window>& candidates);
  std::optional<std::string> activeDisplay(const DisplaySetup& setup);

  Outcome moveWindows(const std::vector<Target>& targets, platform::Duration glide);
  Outcome placeMoves(const std::vector<MoveRequest>& moves, const World& world,
                     platform::Duration glide);
  /// Glides each app's windows towards their targets, the apps in parallel; the frames the
  /// glides wrote last.
  std::map<std::uint32_t, CGRect> glideAll(const std::map<std::int32_t, Job>& jobs,
                                           platform::Duration duration);
  std::map<std::uint32_t, CGRect> glide(const Job& job, platform::Duration duration);
  /// Sets every window's frame in one batch (then re-centres, in a second batch, those that
  /// took another size); where each window that could be set landed.
  std::map<std::uint32_t, CGRect> push(const std::vector<Move>& moves,
                                       const std::map<std::uint32_t, CGRect>& glided);
  void reportSilentApps(const std::vector<platform::FrameRequest>& requests,
                        const std::vector<platform::FrameResult>& results);
  std::optional<LearnedSizes::Learned> learn(std::uint32_t id, CGSize asked, CGSize actual,
                                             bool forgetting);
  void saveLimits();
  void scheduleLateLanding(std::vector<Move> moves);
  void checkLateLanding(const std::vector<Move>& moves);
  void raiseAndFocus(const std::vector<std::uint32_t>& windows, std::optional<std::uint32_t> focus);
  void log(platform::LogLevel level, std::string message);
  bool isCached(std::uint32_t id) const;

  Services services_;
  std::unordered_map<std::uint32_t, platform::AXElement> elements_;
  std::unordered_map<std::uint32_t, std::int32_t> owners_;
  std::unordered_map<std::uint32_t, std::string> bundles_;
  std::unordered_map<std::uint32_t, CGRect> asked_;
  std::unordered_map<platform::AXElement, std::pair<std::uint32_t, std::int32_t>> syntheticIDs_;
  std::uint32_t nextSyntheticID_ = kSyntheticIDBase;
  LearnedSizes sizes_;
  std::mutex checksMutex_;
  std::set<std::uint64_t> pendingChecks_;  // timers of late-landing checks not yet fired
  bool closing_ = false;                   // no more checks are handed to the queue
};

}  // namespace kestles::engine
