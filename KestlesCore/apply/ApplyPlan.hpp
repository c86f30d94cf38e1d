#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/keyboard/PickToTile.hpp"
#include "KestlesCore/layout/Gaps.hpp"
#include "KestlesCore/layout/LayoutRef.hpp"
#include "KestlesCore/library/Kestle.hpp"
#include "KestlesCore/library/LayoutEntry.hpp"
#include "KestlesCore/model/UUID.hpp"
#include "KestlesCore/tiling/SuggestionStep.hpp"
#include "KestlesCore/tiling/Tiling.hpp"
#include "KestlesCore/tiling/TilingMemory.hpp"
#include "KestlesCore/world/AppRef.hpp"
#include "KestlesCore/world/World.hpp"

namespace kestles {

/// Everything one request does to the windows: moves into tiles, windows to unminimize,
/// apps to unhide and launch, the window to focus and each touched display's tiling.
/// Planning is pure; the conductor carries a plan out.
struct ApplyPlan {
  /// One window going into one tile.
  struct Move {
    std::uint32_t window = 0;
    std::int32_t pid = 0;
    std::string displayID;
    int tile = 0;  // index in the display's tiling
    CGRect frame;
    bool operator==(const Move&) const = default;
  };

  /// A tile waiting for a window that does not exist yet.
  struct PendingTile {
    std::string displayID;
    int tile = 0;
    CGRect frame;
    bool operator==(const PendingTile&) const = default;
  };

  /// An app to open (or, when it runs without a window, to ask for one) and the tiles its
  /// windows will fill, in the order they were found.
  struct Launch {
    AppRef app;
    bool isRunning = false;
    std::vector<PendingTile> tiles;
    bool operator==(const Launch&) const = default;
  };

  /// An arrangement made for a display set the kestle had none for; the app stores it in
  /// the kestle under the fingerprint so that the next apply finds it.
  struct DerivedArrangement {
    std::string fingerprint;
    Arrangement arrangement;
    bool operator==(const DerivedArrangement&) const = default;
  };

  /// The suggestion a tile request applied on one display: the id the tiling memory
  /// counts under the board's key, and the step a repeated request continues from.
  struct AppliedSuggestion {
    std::string id;
    TilingMemory::Key key;
    SuggestionStep step;
    bool operator==(const AppliedSuggestion&) const = default;
  };

  /// Windows a tile request left where they were, because the style's tiles on the display
  /// hold fewer.
  struct LeftOut {
    std::string displayName;
    std::string style;  // the style's title
    int tiled = 0;      // the windows tiled, as many as the style holds there
    int windows = 0;    // the windows there were to tile
    /// "Tiled 4 of 6 windows on DP-1: Grid holds at most 4 here; 2 stay where they were."
    std::string sentence() const;
    bool operator==(const LeftOut&) const = default;
  };

  std::string title;
  std::optional<UUID> kestleID;
  std::vector<Move> moves;  // in the order the conductor performs them
  bool raises = false;      // moved windows come to the front
  std::vector<std::uint32_t> unminimize;
  std::vector<std::int32_t> unhide;  // each pid once
  std::vector<Launch> launches;
  std::vector<AppRef> missing;  // running pinned apps that gave no window, once per empty tile
  std::optional<std::uint32_t> focus;
  std::map<std::string, Tiling> tilings;                    // by display id, after the plan
  std::map<std::string, std::optional<LayoutRef>> layouts;  // by display id; none when drawn
  std::optional<DerivedArrangement> derivedArrangement;
  std::optional<std::string> arrangement;      // the arrangement shown (tiling windows)
  std::optional<std::string> nextArrangement;  // what tiling the same windows again shows
  std::vector<AppliedSuggestion> suggestions;  // tile requests: one per display, active last
  std::vector<LeftOut> leftOut;                // tile requests: the displays that left some out

  /// The plan of a kestle on the world's displays: its stored arrangement for the display
  /// set, else one derived from its other arrangements (`derivedArrangement` is then set),
  /// else an empty plan titled with the kestle's name.
  static ApplyPlan forKestle(const Kestle& kestle, const World& world, const Gaps& gaps);

  /// A template or saved layout on one display: the display's visible windows, in world
  /// order, fill the tiles in tile order. Empty (titled with the layout's name) when the
  /// display is not connected.
  static ApplyPlan forLayout(const LayoutEntry& entry, std::string_view displayID,
                             const World& world, const Gaps& gaps);

  /// Remembered tilings put back on their displays, titled "Tiles Come Back". Tilings of
  /// displays that are not connected are left out; windows that are gone, full screen,
  /// minimized or hidden leave their tile empty; a tiling comes back unzoomed.
  static ApplyPlan forTilings(const std::vector<Tiling>& tilings, const World& world,
                              const Gaps& gaps);

  /// Windows picked by letter, in pick order, tiled with the pick's choice on its display,
  /// titled "Tile Picked Windows". Empty when the display is not connected.
  static ApplyPlan forPick(const PickToTile::Pick& pick, const World& world, const Gaps& gaps);

  /// The frame each moved window gets, by window id.
  std::map<std::uint32_t, CGRect> movedFrames() const;

  bool operator==(const ApplyPlan&) const = default;
};

/// Every key is the field's own name; frames are [[x, y], [w, h]]; records use their
/// library JSON form; absent optionals are left out, an absent layout of a display is null.
void to_json(nlohmann::json& json, const ApplyPlan& plan);
void to_json(nlohmann::json& json, const ApplyPlan::Move& move);
void to_json(nlohmann::json& json, const ApplyPlan::PendingTile& tile);
void to_json(nlohmann::json& json, const ApplyPlan::Launch& launch);
void to_json(nlohmann::json& json, const ApplyPlan::DerivedArrangement& derived);

}  // namespace kestles
