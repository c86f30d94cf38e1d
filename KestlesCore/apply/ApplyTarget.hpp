#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "KestlesCore/apply/ApplyPlan.hpp"
#include "KestlesCore/apply/TileWindowsPlan.hpp"
#include "KestlesCore/keyboard/PickToTile.hpp"
#include "KestlesCore/library/Kestle.hpp"
#include "KestlesCore/library/LayoutEntry.hpp"
#include "KestlesCore/tiling/Suggestion.hpp"
#include "KestlesCore/tiling/Tiling.hpp"

namespace kestles {

/// A request to arrange windows, before it meets the world: it names itself for reports
/// and the undo history and becomes a plan against a `World`.
struct ApplyTarget {
  /// A template or saved layout on a display (the active one when absent).
  struct Layout {
    LayoutEntry entry;
    std::optional<std::string> displayID;
    bool operator==(const Layout&) const = default;
  };
  struct Kestle {
    kestles::Kestle kestle;
    bool operator==(const Kestle&) const = default;
  };
  /// A display's windows (all, or one app's) tiled in a style; the display is chosen as for
  /// a layout.
  struct TileWindows {
    std::optional<std::string> displayID;
    TileApps apps;
    TilingStyle style = TilingStyle::grid;
    bool styleLeads = false;  // the style was asked for: its own shape comes first
    bool operator==(const TileWindows&) const = default;
  };
  struct TileAllDisplays {
    TilingStyle style = TilingStyle::grid;
    bool styleLeads = false;  // the style was asked for: its own shape comes first
    bool operator==(const TileAllDisplays&) const = default;
  };
  /// Tilings that come back after their windows returned.
  struct TilesBack {
    std::vector<Tiling> tilings;
    bool operator==(const TilesBack&) const = default;
  };
  struct Picked {
    PickToTile::Pick pick;
    bool operator==(const Picked&) const = default;
  };
  /// An arrangement a suggestion proposes: its shape on its display, a window per tile.
  struct FromSuggestion {
    kestles::Suggestion::Arrangement arrangement;
    bool operator==(const FromSuggestion&) const = default;
  };
  /// Another target applied as if the listed windows did not exist.
  struct Skipping {
    std::set<std::uint32_t> windows;
    std::shared_ptr<const ApplyTarget> inner;  // never null; shared because it never changes
    bool operator==(const Skipping& other) const;
  };

  std::variant<Layout, Kestle, TileWindows, TileAllDisplays, TilesBack, Picked, FromSuggestion,
               Skipping>
      value;

  static ApplyTarget layout(LayoutEntry entry, std::optional<std::string> displayID) {
    return {Layout{std::move(entry), std::move(displayID)}};
  }
  static ApplyTarget kestle(kestles::Kestle kestle) { return {Kestle{std::move(kestle)}}; }
  static ApplyTarget tileWindows(std::optional<std::string> displayID, TileApps apps,
                                 TilingStyle style, bool styleLeads = false) {
    return {TileWindows{std::move(displayID), std::move(apps), style, styleLeads}};
  }
  static ApplyTarget tileAllDisplays(TilingStyle style, bool styleLeads = false) {
    return {TileAllDisplays{style, styleLeads}};
  }
  static ApplyTarget tilesBack(std::vector<Tiling> tilings) {
    return {TilesBack{std::move(tilings)}};
  }
  static ApplyTarget picked(PickToTile::Pick pick) { return {Picked{std::move(pick)}}; }
  static ApplyTarget suggestion(kestles::Suggestion::Arrangement arrangement) {
    return {FromSuggestion{std::move(arrangement)}};
  }
  static ApplyTarget skipping(std::set<std::uint32_t> windows, ApplyTarget inner) {
    return {Skipping{std::move(windows), std::make_shared<const ApplyTarget>(std::move(inner))}};
  }

  /// The name in reports and the undo history: the layout's or kestle's name, "Tile Windows"
  /// (all apps) or "Tile App Windows" (one app's), "Tile All Displays", "Tiles Come Back",
  /// "Tile Picked Windows", the suggestion arrangement's title; skipping takes its inner
  /// target's title.
  std::string title() const;

  /// The plan against the world. A layout or tile request goes to its display, else the
  /// active display, else the main one, and has no plan without any display; the others
  /// always plan. A suggestion puts each window in its tile on its display (a window no
  /// longer there leaves its tile empty), titled and named with the arrangement's title; no
  /// moves when its display is not connected. Tiling reads the front window and current
  /// tilings from the context.
  std::optional<ApplyPlan> plan(const World& world, const Gaps& gaps,
                                const TileContext& context = {}) const;

  bool operator==(const ApplyTarget&) const = default;
};

/// The world without the listed windows (nor their full-screen entries).
World worldWithout(const World& world, const std::set<std::uint32_t>& windows);

}  // namespace kestles
