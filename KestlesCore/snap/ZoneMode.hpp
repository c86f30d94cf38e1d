#pragma once

#include <optional>
#include <span>
#include <variant>

#include "KestlesCore/display/DisplayInfo.hpp"
#include "KestlesCore/snap/SnapAction.hpp"
#include "KestlesCore/snap/WindowDragKind.hpp"

namespace kestles {

struct Settings;

/// What a dragged window's drop would do where the pointer is now: snap it to the place of an
/// edge or corner zone, or land it among the display's tiles.
struct ZoneMode {
  struct Edge {
    SnapAction action;
    bool operator==(const Edge&) const = default;
  };
  struct Tiles {
    bool operator==(const Tiles&) const = default;
  };

  /// What the drag may offer on the display under the pointer.
  struct Options {
    bool tiles = false;             // the display's tiles may be offered
    bool edgeZones = true;          // the edge and corner zones are on
    bool systemEdgeTiling = false;  // the system's own edge tiling is on

    /// The options from the settings: "drag to zones" switches both kinds of zone, "edge
    /// zones" the edge zones alone; tiles are offered only on a display that has them.
    static Options from(const Settings& settings, bool displayHasTiles, bool systemEdgeTiling);

    bool operator==(const Options&) const = default;
  };

  std::variant<Edge, Tiles> value;

  static ZoneMode edge(SnapAction action) { return {Edge{action}}; }
  static ZoneMode tiles() { return {Tiles{}}; }

  /// The mode of a drag of `kind` with the pointer at `point` over `display`; nothing when
  /// the drop would only leave the window where it is dropped. Only moves are offered zones.
  /// An edge or corner zone wins over the tiles beneath it (the rim is a narrow, deliberate
  /// target, and a tile's own sides lie well inside it); edge zones stand aside while the
  /// system's edge tiling is on, so the two never both move the window.
  static std::optional<ZoneMode> during(WindowDragKind kind, CGPoint point,
                                        const DisplayInfo& display,
                                        std::span<const DisplayInfo> displays,
                                        const Options& options);

  bool operator==(const ZoneMode&) const = default;
};

}  // namespace kestles
