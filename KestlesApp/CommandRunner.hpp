#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "KestlesApp/Notifier.hpp"
#include "KestlesCore/command/KestlesCommand.hpp"
#include "KestlesCore/command/RecordRequest.hpp"
#include "KestlesCore/library/Library.hpp"
#include "KestlesCore/session/CommandPlanner.hpp"
#include "KestlesCore/session/SessionState.hpp"
#include "KestlesCore/snap/SnapFlash.hpp"
#include "KestlesEngine/engine/Conductor.hpp"
#include "KestlesEngine/engine/WindowEngine.hpp"
#include "KestlesEngine/platform/LogSink.hpp"
#include "KestlesLink/LinkReply.hpp"

namespace kestles::app {

/// Carries out commands on the desktop: plans each one against a fresh snapshot, the
/// library and the session state, moves the windows through the conductor, records the
/// change for undo, and keeps the library and the session state on disk. Keep tiled runs
/// here too, whenever windows come or go. Main context only.
class CommandRunner {
 public:
  struct Services {
    engine::Conductor& conductor;
    engine::WindowEngine& engine;
    platform::LogSink& log;
    Notifier& notifier;
  };
  struct Files {
    std::filesystem::path library;
    std::filesystem::path state;
  };

  CommandRunner(Services services, Files files);
  ~CommandRunner();
  CommandRunner(const CommandRunner&) = delete;
  CommandRunner& operator=(const CommandRunner&) = delete;

  /// The default that turns the glide on, and how long a glide takes then.
  static constexpr const char* kGlideDefault = "glidesWindows";
  static constexpr platform::Duration kGlideDuration = std::chrono::milliseconds(200);

  /// Reads the library (a damaged one is set aside and a new one begun, with a notice) and
  /// the session state. From then on this runner is their only writer, and never reads them
  /// again: other processes hand it what they want written (`record`).
  void load();
  /// How a command ended, once: "ok", "partly" with what was left undone (windows that
  /// refused their frames included), or "error" with why nothing was done.
  using Answer = std::function<void(const link::LinkReply& reply)>;

  /// Plans the command on a fresh snapshot and carries it out. When it moves full-screen
  /// windows, they leave full screen first and the command is planned again once they
  /// settled (on the main context, after this returns). With `answer`, that is how the
  /// command ended; without (a key), a command that did nothing or only part is told as a
  /// notice instead. With the undo notice on, a change is told with the key that undoes it.
  void run(const KestlesCommand& command, Answer answer = {});
  /// Carries out what a keyboard mode decided, planned against `before` (the world when
  /// the mode opened), as the command's one undo step.
  void carryOutMode(const KestlesCommand& command, const CommandOutcome& outcome,
                    const World& before);
  /// A window dragged from where it was in `before` (the world when the drag began) was
  /// dropped with the pointer at `point`: it snaps to the place of the edge or corner zone
  /// there, or trades places with a tile's window or splits the tile, as one undo step. A
  /// tiled window dropped anywhere else leaves its tiling and floats where it was dropped.
  void drop(std::uint32_t window, CGPoint point, const World& before);
  /// Tells the user a sentence under the app's name.
  void notice(const std::string& sentence);
  /// Writes what another process asked for: a palette recent into the session state, a
  /// kestle into the library.
  void record(const RecordRequest& request);
  /// Brings in the kestles, layouts and display rules an archive holds (its settings too only
  /// with `settings`) and tells what came in, and that settings were left when they were.
  void importArchive(const std::filesystem::path& archive, bool settings = false);
  /// Windows came or went: the kept displays take in new windows and close the gaps of gone
  /// ones, and the session forgets the windows that closed.
  void windowsChanged();
  /// Display rules: when the displays are not the ones seen last, the tilings of displays
  /// that left are kept for their return and the rules act on the new set.
  void displaysChanged(const DisplaySetup& now);

  /// Called after every snap, by key or by drop, while the snap flash setting is on.
  std::function<void(const SnapFlash::Shown&)> onSnapped;

  const Library& library() const { return library_; }
  const SessionState& state() const { return state_; }

 private:
  /// Carries out an undo (or a redo) the core planned on `world`: the entry's library part,
  /// its windows and the session state after (the entry that reverses it on the other stack).
  void undo(const CommandOutcome& outcome, const World& world, bool redo);
  /// Keep tiled's look at the world and the forgetting of closed windows, as after a window
  /// change; true when keep tiled moved windows.
  bool lookAgain(const World& world);
  /// The world to plan a command on: when windows the state holds closed since the last
  /// look (the watcher may not have told yet), that look comes first, and the world is read
  /// again when it moved windows.
  World caughtUp(World world);
  /// Records the change for undo and moves the windows; the failure sentences.
  std::vector<std::string> carryOut(const KestlesCommand& command, const CommandOutcome& outcome,
                                    const World& world);
  /// Carries out the command's outcome planned on `world` (an undo, or a change recorded for
  /// undo) and answers how it ended.
  void finish(const KestlesCommand& command, const CommandOutcome& outcome, const World& world,
              const Answer& answer);
  /// Answers through `answer`, or without one tells a sentence as a notice.
  void reply(const Answer& answer, const link::LinkReply& reply);
  /// The notice that names what was done and the key that undoes it.
  void tellUndoable(const std::string& title);
  /// Moves the outcome's windows (through its plan when it has one); the failure sentences.
  std::vector<std::string> move(const CommandOutcome& outcome, const World& world);
  /// Moves the outcome's windows and keeps what it changed; no undo entry. The failure
  /// sentences.
  std::vector<std::string> settle(const CommandOutcome& outcome, const World& world);
  /// The conductor leaves the library's floating apps out of every snapshot it plans on.
  void followFloatingApps();
  /// Tells `onSnapped` of the snap that moved `window` from the tilings `before` on.
  void snapped(SnapAction action, std::uint32_t window, const CommandOutcome& outcome,
               const World& world, const Tilings& before);
  /// How long windows glide to their frames: not at all unless the user's default
  /// `glidesWindows` asks for it.
  static platform::Duration glide();
  void saveLibrary();
  void saveState();
  void tell(const std::string& title, const std::string& body = {});
  void log(platform::LogLevel level, std::string message);

  Services services_;
  Files files_;
  Library library_;
  SessionState state_;
  std::optional<DisplaySetup> knownSetup_;
};

/// The sentence for a command whose windows are not part of this program, or nothing when
/// the command moves windows here.
std::optional<std::string> notOnThisDesktop(const KestlesCommand& command);

/// The path of a "file://" URL (host empty or "localhost", percent escapes decoded, a query
/// left out); nothing for any other text.
std::optional<std::filesystem::path> pathOfFileURL(std::string_view url);

/// The query a "file://" URL carries when the archive's settings are to replace the user's.
inline constexpr std::string_view kWithSettingsQuery = "?settings";

}  // namespace kestles::app
