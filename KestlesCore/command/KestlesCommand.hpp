#pragma once

#include <optional>
#include <string>
#include <variant>

#include "KestlesCore/command/DebugCommand.hpp"
#include "KestlesCore/command/KestlesPage.hpp"
#include "KestlesCore/command/Lesson.hpp"
#include "KestlesCore/command/Tip.hpp"
#include "KestlesCore/command/TourPage.hpp"
#include "KestlesCore/layout/GapsChange.hpp"
#include "KestlesCore/layout/TileEdge.hpp"
#include "KestlesCore/snap/SnapAction.hpp"
#include "KestlesCore/tiling/Retile.hpp"
#include "KestlesCore/tiling/TilingStyle.hpp"

namespace kestles {

/// Which windows a tile command takes: one app's (by name, as typed), all, or the front app's.
struct TileApps {
  struct Named {
    std::string name;
    bool operator==(const Named&) const = default;
  };
  struct All {
    bool operator==(const All&) const = default;
  };
  struct Front {
    bool operator==(const Front&) const = default;
  };
  std::variant<Named, All, Front> value = All{};

  static TileApps named(std::string name) { return {Named{std::move(name)}}; }
  static TileApps all() { return {All{}}; }
  static TileApps front() { return {Front{}}; }
  bool operator==(const TileApps&) const = default;
};

/// A command for the running app: what the tool sends and what a command link decodes to.
/// Names are kept as typed; the app looks them up by the name rule.
struct KestlesCommand {
  struct Kestle {
    std::string name;
    bool operator==(const Kestle&) const = default;
  };
  struct NextKestle {
    int offset = 1;
    bool operator==(const NextKestle&) const = default;
  };
  struct Layout {
    std::string name;
    std::optional<std::string> display;
    bool operator==(const Layout&) const = default;
  };
  struct Tile {
    std::optional<std::string> display;
    TileApps apps;
    std::optional<TilingStyle> style;
    bool operator==(const Tile&) const = default;
  };
  struct TileAllDisplays {
    std::optional<TilingStyle> style;
    bool operator==(const TileAllDisplays&) const = default;
  };
  struct SwapDisplays {
    int offset = 1;
    bool operator==(const SwapDisplays&) const = default;
  };
  struct Snap {
    SnapAction action = SnapAction::leftHalf;
    bool operator==(const Snap&) const = default;
  };
  struct Focus {
    TileEdge edge = TileEdge::left;
    bool operator==(const Focus&) const = default;
  };
  struct Swap {
    TileEdge edge = TileEdge::left;
    bool operator==(const Swap&) const = default;
  };
  struct RetileTiles {
    Retile retile;
    bool operator==(const RetileTiles&) const = default;
  };
  struct Gaps {
    GapsChange change;
    bool operator==(const Gaps&) const = default;
  };
  struct KeepTiled {
    std::optional<bool> on;  // nothing: the other way from how it is
    std::optional<std::string> display;
    bool operator==(const KeepTiled&) const = default;
  };
  struct LeaveOut {
    std::optional<bool> on;  // nothing: the other way from how it is
    std::optional<std::string> app;
    bool operator==(const LeaveOut&) const = default;
  };
  struct Open {
    std::optional<KestlesPage> page;
    bool operator==(const Open&) const = default;
  };
  struct Tour {
    std::optional<Lesson> lesson;
    bool operator==(const Tour&) const = default;
  };
  struct ShowMe {
    Lesson lesson = Lesson::tiling;
    bool operator==(const ShowMe&) const = default;
  };
  struct Welcome {
    std::optional<TourPage> page;
    bool operator==(const Welcome&) const = default;
  };
  struct ShowTip {
    Tip tip = Tip::dragWindow;
    bool operator==(const ShowTip&) const = default;
  };
  /// The windows of every display as a kestle: a new one under the name (made unique), or
  /// with `update` the arrangement of the named kestle for the displays connected now.
  struct Save {
    std::string name;
    bool update = false;
    bool operator==(const Save&) const = default;
  };
  struct Debug {
    DebugCommand command;
    bool operator==(const Debug&) const = default;
  };
  // Commands that carry nothing; their words are in the plain-command table.
#define KESTLES_PLAIN_COMMAND(Name)               \
  struct Name {                                   \
    static constexpr bool carriesNothing = true;  \
    bool operator==(const Name&) const = default; \
  }
  KESTLES_PLAIN_COMMAND(MakeMain);
  KESTLES_PLAIN_COMMAND(TileOrFloat);
  KESTLES_PLAIN_COMMAND(Hints);
  KESTLES_PLAIN_COMMAND(MoveToTile);
  KESTLES_PLAIN_COMMAND(PickWindows);
  KESTLES_PLAIN_COMMAND(EditTiles);
  KESTLES_PLAIN_COMMAND(ArrangeWithKeys);
  KESTLES_PLAIN_COMMAND(Undo);
  KESTLES_PLAIN_COMMAND(Redo);
  KESTLES_PLAIN_COMMAND(Panel);
  // About the app itself: whether it runs and what it holds, its keys, and stopping it.
  KESTLES_PLAIN_COMMAND(Status);
  KESTLES_PLAIN_COMMAND(Keys);
  KESTLES_PLAIN_COMMAND(Quit);
#undef KESTLES_PLAIN_COMMAND

  using Value =
      std::variant<Kestle, NextKestle, Layout, Tile, TileAllDisplays, SwapDisplays, Snap, Focus,
                   Swap, RetileTiles, Gaps, KeepTiled, LeaveOut, Open, Tour, ShowMe, Welcome,
                   ShowTip, Save, Debug, MakeMain, TileOrFloat, Hints, MoveToTile, PickWindows,
                   EditTiles, ArrangeWithKeys, Undo, Redo, Panel, Status, Keys, Quit>;
  Value value;

  bool operator==(const KestlesCommand&) const = default;
};

}  // namespace kestles
