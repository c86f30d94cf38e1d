#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/command/KestlesPage.hpp"
#include "KestlesCore/command/Lesson.hpp"
#include "KestlesCore/layout/GapsChange.hpp"
#include "KestlesCore/layout/LayoutRef.hpp"
#include "KestlesCore/layout/TileEdge.hpp"
#include "KestlesCore/model/UUID.hpp"
#include "KestlesCore/snap/SnapAction.hpp"
#include "KestlesCore/tiling/Retile.hpp"
#include "KestlesCore/tiling/TilingStyle.hpp"
#include "KestlesCore/world/AppRef.hpp"

namespace kestles {

namespace palette_case {
/// The case names of the palette's actions with a payload, written once.
inline constexpr char kestle[] = "kestle", layout[] = "layout", snap[] = "snap",
                      tileAs[] = "tileAs", swapDisplays[] = "swapDisplays", retile[] = "retile",
                      gaps[] = "gaps", floatApp[] = "floatApp", history[] = "history",
                      learn[] = "learn", focus[] = "focus", swap[] = "swap",
                      nextKestle[] = "nextKestle", page[] = "page", ask[] = "ask",
                      window[] = "window";

}  // namespace palette_case

/// Something the command palette can do. Each case with a payload is a struct holding it as
/// `value` and naming its case as `kName`; the cases without a payload are `Plain`.
struct PaletteAction {
  enum class Plain {
    toggleFullScreen,
    tileWindows,
    tileAppWindows,
    tileAllDisplays,
    makeMain,
    tileOrFloat,
    windowHints,
    moveToTile,
    pickWindows,
    editTiles,
    arrangeWithKeys,
    keepTiled,
    saveLayout,
    saveKestle,
    updateKestle,
    stopUsingKestle,
    undo,
    redo,
    allowAccessibility,
    takeSystemKeys,
    showTipsAgain,
    importLibrary,
    exportLibrary,
    checkForUpdates,
    quit,
    openKestles,
    tour,
  };

  template <class Payload, const char* Name>
  struct Case {
    static constexpr std::string_view kName = Name;
    Payload value;
    bool operator==(const Case&) const = default;
  };

  using Kestle = Case<UUID, palette_case::kestle>;
  using Layout = Case<LayoutRef, palette_case::layout>;
  using Snap = Case<SnapAction, palette_case::snap>;
  using TileAs = Case<TilingStyle, palette_case::tileAs>;
  using SwapDisplays = Case<int, palette_case::swapDisplays>;  // the offset to the other display
  using RetileTiles = Case<Retile, palette_case::retile>;
  using Gaps = Case<GapsChange, palette_case::gaps>;
  using FloatApp = Case<AppRef, palette_case::floatApp>;
  using History = Case<UUID, palette_case::history>;  // an undo entry
  using Learn = Case<Lesson, palette_case::learn>;
  using Focus = Case<TileEdge, palette_case::focus>;
  using Swap = Case<TileEdge, palette_case::swap>;
  using NextKestle = Case<int, palette_case::nextKestle>;  // the offset in the kestle list
  using Page = Case<KestlesPage, palette_case::page>;
  using Ask = Case<std::string, palette_case::ask>;  // a request to the assistant
  using Window = Case<std::uint32_t, palette_case::window>;

  std::variant<Plain, Kestle, Layout, Snap, TileAs, SwapDisplays, RetileTiles, Gaps, FloatApp,
               History, Learn, Focus, Swap, NextKestle, Page, Ask, Window>
      value{Plain::tileWindows};

  /// Whether using the action puts it in the recents: every action but history entries,
  /// requests to the assistant, windows, undo and redo.
  bool isRecordable() const;

  /// The case name, the key of the coded form ("tileAs", "toggleFullScreen").
  std::string_view caseName() const;

  bool operator==(const PaletteAction&) const = default;
};

/// A one-key object naming the case: {"tileWindows": {}}, {"snap": {"_0": "leftHalf"}},
/// {"kestle": {"_0": UUID}}. Enums in payloads are written by raw value, a lesson by its
/// spelling. Reading throws a DecodeError for any other number of keys, an unknown case or a
/// payload that does not decode.
void to_json(nlohmann::json& json, const PaletteAction& action);
void from_json(const nlohmann::json& json, PaletteAction& action);

}  // namespace kestles
