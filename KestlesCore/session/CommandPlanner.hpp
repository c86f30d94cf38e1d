#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/apply/ApplyPlan.hpp"
#include "KestlesCore/apply/DisplayChange.hpp"
#include "KestlesCore/command/KestlesCommand.hpp"
#include "KestlesCore/library/Library.hpp"
#include "KestlesCore/session/SessionState.hpp"
#include "KestlesCore/snap/KeySnap.hpp"
#include "KestlesCore/undo/UndoEntry.hpp"
#include "KestlesCore/world/World.hpp"

namespace kestles {

/// What carrying out a command would do: the windows that move, the apply plan when the
/// command builds one, the window to focus, and the session state afterwards. A command that
/// cannot be carried out says why in `message` (a whole sentence) and moves nothing.
struct CommandOutcome {
  std::map<std::uint32_t, CGRect> frames;  // every window that would move, at its new frame
  std::optional<ApplyPlan> plan;
  std::optional<std::uint32_t> focus;  // a focus move's target
  SessionState state;                  // after the command
  std::optional<std::string> message;
  /// When the outcome moves nothing though it can be carried out (the windows already stand
  /// so), why, in one sentence: the command did nothing. Its state is still kept.
  std::optional<std::string> unchanged;
  /// When it does only part of what was asked, what was left undone, in one sentence.
  std::optional<std::string> partly;
  // Keep tiled: the library's kept displays after the command (a settings change the dry
  // run shows but does not write), and the sentence shown after the tiles changed.
  std::optional<std::set<std::string>> keptTiled;
  std::optional<std::string> notice;
  std::optional<Gaps> gaps;  // the gaps to keep from now on, after a gaps change
  std::optional<std::vector<AppRef>> floatingApps;  // the apps never tiled, after leave-out
  /// Undo: the entry carried out (its windows to minimize, apps to hide, windows to put
  /// back in full screen and its library part); the state after holds the entry that redoes
  /// it.
  std::optional<UndoEntry> undone;
  /// Save: the kestle to add, or (with the id of one in the library) to put in its place.
  std::optional<Kestle> saved;
};

/// Turns a command into its outcome against a world, the library and the session state,
/// without moving anything. `front` is the focused window (else the front-most one counts
/// where a command needs one). Names resolve by the name rule; a name that matches nothing
/// gives the sentence the command line shows for it. A command that needs a window finds
/// none with "No window is focused."; one that moves nothing says why in `unchanged`; a tile
/// request that leaves windows out says so in `partly`.
CommandOutcome planCommand(const KestlesCommand& command, const World& world,
                           const Library& library, const SessionState& state,
                           std::optional<std::uint32_t> front);

/// What a snap key press on the window plans on: its frame and display, the gaps, the snap
/// memory and the live tiles of the state. Nothing when the window is not open or stands on
/// no display.
std::optional<KeySnap::Planner> snapPlanner(std::uint32_t window, const World& world,
                                            const SessionState& state, const Gaps& gaps);

/// Undo: the newest entry of the state's history put back on the world. `frames` are the
/// entry's frames of the windows still open, `undone` the entry, and the state after has the
/// entry's tilings and snap memory back and, on the redo stack, the entry that does the
/// opposite (the windows' frames now, the library values the entry replaces). "There’s
/// nothing to undo." when the history is empty.
CommandOutcome planUndo(const World& world, const Library& library, const SessionState& state);

/// Redo: the newest entry of the redo stack put back the same way; the entry that undoes it
/// goes back on the undo stack and the rest of the redo stack stays. "There’s nothing to
/// redo." when the redo stack is empty.
CommandOutcome planRedo(const World& world, const Library& library, const SessionState& state);

/// What displays coming or going does, one outcome per rule action in order, each starting
/// from the state the one before left: the tilings of displays that left are kept away, the
/// ones kept for displays that came back are taken, and the change's rule actions are
/// planned. While a kestle is current under display rules, connecting displays that another
/// kestle was made for (an arrangement stored for exactly them, when the current one has
/// none) switches to it in place of the actions, and arms the state's focus return;
/// disconnecting displays while it is armed brings the kestle before back instead. Every
/// target skips the windows the user floated out of their tiles. The first outcome carries
/// the change's title as its notice, followed by the switch's sentence (an outcome with no
/// moves when there is no action).
std::vector<CommandOutcome> planDisplayChange(const DisplayChange& change, const World& world,
                                              const Library& library, const SessionState& state,
                                              std::optional<std::uint32_t> front);

/// What keep tiled does when it looks again after windows opened or closed: `after` is the
/// world then. The kept displays are the state's record of a dry run's keep-tiled (else the
/// library's), the manner and style the library's; the moves, the tilings and the message
/// are those of `KeptTiles::check`, and the state after records the windows the kept
/// displays now know.
CommandOutcome planTileChanges(const World& after, const Library& library,
                               const SessionState& state);

/// The session after the launch queue placed opened apps' first windows (`placed`, each with
/// the display and tile it was meant for) on `world`, the snapshot it placed them from. Each
/// window enters its display's tiling in the tile of the plan's tiling (`planned`, the applied
/// plan's tilings by display) that waited for it, found by tile id so that a tiling rotated
/// or swapped since still knows it. A display whose tiling the state no longer holds (all its
/// windows were still to come) takes the planned one back. A window whose tile is gone (the
/// tiling was replaced) or holds another window by now stays untiled where it was placed.
SessionState planOpenedWindows(const std::vector<ApplyPlan::Move>& placed, const Tilings& planned,
                               const World& world, const SessionState& state);

/// The world as it would be after the session's earlier commands were carried out: each
/// window of a connected display's tiling sits in its tile, and each snapped window at the
/// frame its last snap gave. A dry run uses it so that one dry run can follow another.
World settledWorld(const World& world, const SessionState& state, const Gaps& gaps);

/// The outcome as a dry run prints it: "frames" (window id in decimal → [[x, y], [w, h]]),
/// the plan's fields beside, "focus" when set, "keptTiled" and "message" for keep tiled,
/// "unchanged" (why nothing moves) and "partly" (what was left undone) when set, and "state"
/// when asked for.
nlohmann::json outcomeJSON(const CommandOutcome& outcome, bool withState);

}  // namespace kestles
