#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>

#include <nlohmann/json.hpp>

#include "KestlesCore/apply/FocusReturn.hpp"
#include "KestlesCore/palette/PaletteRecents.hpp"
#include "KestlesCore/session/WindowIdentity.hpp"
#include "KestlesCore/snap/SnapMemory.hpp"
#include "KestlesCore/tiling/AwayTiles.hpp"
#include "KestlesCore/tiling/KeptTiles.hpp"
#include "KestlesCore/tiling/LiveTiles.hpp"
#include "KestlesCore/tiling/MainTile.hpp"
#include "KestlesCore/tiling/SuggestionStep.hpp"
#include "KestlesCore/tiling/TilingFrames.hpp"
#include "KestlesCore/tiling/TilingMemory.hpp"
#include "KestlesCore/undo/UndoHistory.hpp"
#include "KestlesCore/world/WindowID.hpp"
#include "KestlesCore/world/World.hpp"

namespace kestles {

/// What the running app knows beyond the library while it arranges windows: the tilings of
/// the connected displays and of the ones away, what the user settled on, the snapped
/// windows' first frames, the last make-main trade and the undo history. One JSON value, so
/// that a dry run and the app share it.
///
/// Everything it holds of a window belongs to that window only: once the window closes (or
/// its number is seen on another window) the state forgets it, so no memory ever acts on a
/// window that merely got the same number. The state is bounded by its own rules, whatever
/// a file holds.
struct SessionState {
  /// The most windows the state keeps anything of; beyond it the oldest (lowest numbers) are
  /// forgotten. Closed windows are forgotten anyway, so only a runaway file gets near it.
  static constexpr std::size_t kMostWindows = 128;
  /// The most displays whose tilings are kept while they are away; the ones with the fewest
  /// windows go first.
  static constexpr std::size_t kMostAwayDisplays = 8;
  /// The largest state file read: a bounded state of a busy desktop stays under a megabyte,
  /// so a larger file is no state this app wrote and is not parsed at all.
  static constexpr std::uintmax_t kMaxFileSize = std::uintmax_t{2} << 20;

  Tilings tilings;  // by display id, connected displays
  AwayTiles away;
  TilingMemory tilingMemory;
  SnapMemory snapMemory;
  std::optional<MainTile::Pair> mainPair;  // the last make-main, for the trade back
  UndoHistory undo;
  LiveTiles liveTiles;  // the session of the kept-tiled displays
  KeptTiles keptTiles;  // the windows each kept display already knows
  // The kept displays a dry run turned keep tiled on or off for. The set belongs to the
  // library's settings, which a dry run never writes; the next dry run reads it from here in
  // their place. The app itself never sets it.
  std::optional<std::set<std::string>> keptTiled;
  std::optional<SuggestionStep> lastSuggestion;  // what a repeated Tile Windows steps on from
  PaletteRecents paletteRecents;                 // the palette's last used actions
  // The kestle to go back to once the displays a kestle was switched for leave again.
  FocusReturn focusReturn;
  // Who each window the state holds anything of was when last seen, by number. A state
  // written before identities were kept has none: its windows are taken on their numbers
  // until they are seen.
  std::map<WindowID, WindowIdentity> identities;

  bool operator==(const SessionState&) const;

  /// Every window the state holds anything of: tilings (away ones too), snap memory, the
  /// make-main pair, undo and redo entries, the live session, kept tiles, the last
  /// suggestion.
  std::set<WindowID> windows() const;
  /// The windows it holds whose numbers the world shows on other windows (another process
  /// or app than the identity it recorded).
  std::set<WindowID> reusedWindows(const World& world) const;
  /// The state with nothing of the windows outside `only`: their tile slots (a tiling left
  /// without windows goes), snap memory, the make-main pair that involves them, their parts
  /// of undo entries (an entry left with nothing to change goes), the live session's and
  /// kept tiles' records of them, a last suggestion over them, and their identities.
  SessionState keeping(const std::set<WindowID>& only) const;
  /// The state with nothing of these windows (`keeping` all others).
  SessionState forgetting(const std::set<WindowID>& windows) const;
  /// Forgets every window that is not in the world, or is in it under a number now worn by
  /// another window, and records the identity of each window it still holds from the world.
  /// The app calls it whenever it looks at the windows, before any memory acts on them.
  SessionState forgettingClosedWindows(const World& world) const;
  /// The state cut to its bounds: each undo stack to its newest 20 entries, the palette's
  /// recents to the ones it shows, `kMostAwayDisplays` away tilings and `kMostWindows`
  /// windows, identities to the windows it holds, kept displays' records to those that know
  /// a window (the tiling memory bounds itself).
  SessionState bounded() const;

  /// Reads the state at the path, bounded: an empty state when there is no file, or when the
  /// file is larger than `kMaxFileSize` (refused before it is parsed) or is no JSON object
  /// at all (`problem` then receives the sentence; the file is left in place for the app to
  /// overwrite), else every part read on its own, a damaged part being empty.
  static SessionState read(const std::filesystem::path& path, std::string* problem = nullptr);
  /// Writes the bounded state atomically (a temporary file renamed over the path); should it
  /// still be larger than `kMaxFileSize`, its oldest undo entries are left out until it fits,
  /// so that it can be read back. Throws std::system_error.
  void write(const std::filesystem::path& path) const;
};

/// Keys "tilings", "away", "tilingMemory", "snapMemory", "mainPair" (when present), "undo",
/// "liveTiles" and "keptTiles" (when not empty), "keptTiled" and "lastSuggestion" (when
/// present), "paletteRecents" and "identities" (a list, when not empty), "focusReturn" (when not
/// cleared). Reading needs an object; each part decodes on its own, so that one damaged part (or
/// one damaged item inside it) loses nothing else, and the result is bounded.
void to_json(nlohmann::json& json, const SessionState& state);
void from_json(const nlohmann::json& json, SessionState& state);

}  // namespace kestles
