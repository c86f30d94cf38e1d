#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>

#include <nlohmann/json.hpp>

#include "KestlesCore/palette/PaletteRecents.hpp"
#include "KestlesCore/snap/SnapMemory.hpp"
#include "KestlesCore/tiling/AwayTiles.hpp"
#include "KestlesCore/tiling/KeptTiles.hpp"
#include "KestlesCore/tiling/LiveTiles.hpp"
#include "KestlesCore/tiling/MainTile.hpp"
#include "KestlesCore/tiling/SuggestionStep.hpp"
#include "KestlesCore/tiling/TilingFrames.hpp"
#include "KestlesCore/tiling/TilingMemory.hpp"
#include "KestlesCore/undo/UndoHistory.hpp"

namespace kestles {

/// What the running app knows beyond the library while it arranges windows: the tilings of
/// the connected displays and of the ones away, what the user settled on, the snapped
/// windows' first frames, the last make-main trade and the undo history. One JSON value, so
/// that a dry run and the app share it.
struct SessionState {
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

  bool operator==(const SessionState&) const;

  /// Reads the state at the path: an empty state when there is no file or the file is no
  /// JSON object at all (`problem` then receives the sentence; the file is left in place for
  /// the app to overwrite), else every part read on its own, a damaged part being empty.
  static SessionState read(const std::filesystem::path& path, std::string* problem = nullptr);
  /// Writes atomically (a temporary file renamed over the path); throws std::system_error.
  void write(const std::filesystem::path& path) const;
};

/// Keys "tilings", "away", "tilingMemory", "snapMemory", "mainPair" (when present), "undo",
/// "liveTiles" and "keptTiles" (when not empty), "keptTiled" and "lastSuggestion" (when
/// present), "paletteRecents" (when not empty). Reading needs an object; each part decodes on
/// its own, so that one damaged part (or one damaged item inside it) loses nothing else.
void to_json(nlohmann::json& json, const SessionState& state);
void from_json(const nlohmann::json& json, SessionState& state);

}  // namespace kestles
