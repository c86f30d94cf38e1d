#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/layout/LayoutRef.hpp"
#include "KestlesCore/layout/TileShape.hpp"
#include "KestlesCore/model/UUID.hpp"

namespace kestles {

/// One arrangement offered for a display's windows, with who would sit where and how well
/// it suits them. The apply target it becomes is made from `arrangement(displayID)`.
struct Suggestion {
  /// What applying the suggestion does.
  struct Kind {
    /// Lay the windows out in a shape, which may come from a template or saved layout.
    struct Tiles {
      TileShape shape;
      std::optional<LayoutRef> layout;
      bool operator==(const Tiles&) const = default;
    };
    /// Apply a saved kestle.
    struct KestleRef {
      UUID id;
      bool operator==(const KestleRef&) const = default;
    };
    /// Arrange one app's windows; the text is the app's bundle identifier.
    struct AppWindows {
      std::string app;
      bool operator==(const AppWindows&) const = default;
    };
    std::variant<Tiles, KestleRef, AppWindows> value;
    bool operator==(const Kind&) const = default;
  };

  /// Who would sit in a tile.
  struct Occupant {
    std::optional<std::uint32_t> window;
    std::string bundleID;
    std::string appName;
    std::optional<CGSize> size;  // the size the window would really take there
    bool operator==(const Occupant&) const = default;
  };

  /// What the apply target of a tiles suggestion carries: the display, the shape and which
  /// window goes into each tile. `name` is the suggestion id, the name remembered for the
  /// arrangement (tiling memory, stepping); `title` is what reports and undo show.
  struct Arrangement {
    std::string displayID;
    TileShape shape;
    std::optional<LayoutRef> layout;
    std::vector<std::optional<std::uint32_t>> windows;
    std::string title;
    std::string name;
    bool fillsFromScreen = false;
    bool operator==(const Arrangement&) const = default;
  };

  std::string id;
  Kind kind;
  std::string title;
  std::optional<std::string> shortTitle;
  std::string subtitle;
  TileShape shape;
  std::vector<std::optional<Occupant>> tiles;  // one per tile, in tile order
  int stays = 0;  // windows already where this arrangement would put them
  bool fillsFromScreen = false;
  int score = 0;

  /// The windows in tile order: slot i holds the window of tile i, if any.
  std::vector<std::optional<std::uint32_t>> windowSlots() const;
  /// Whether every window that gets a tile already stands where it would be put (and at
  /// least one does): applying it would move nothing.
  bool isInPlace() const;
  /// The arrangement to apply on the display; nothing for the kestle and app-window kinds,
  /// whose targets are the kestle and the app's windows themselves.
  std::optional<Arrangement> arrangement(const std::string& displayID) const;

  bool operator==(const Suggestion&) const = default;
};

/// "saved:" and the layout's id, or "template:" and the template's id.
std::string suggestionID(const LayoutRef& layout);
/// "kestle:" and the kestle's id.
std::string kestleSuggestionID(const UUID& kestle);
/// "app:" and the app's bundle identifier.
std::string appWindowsSuggestionID(std::string_view bundleID);
/// A shape without a layout: "shape:" and each tile's unit frame in tile order, as
/// thousandths "x,y,w,h" joined by ";", so that the same tiles get the same id in every run.
std::string shapeSuggestionID(const TileShape& shape);
/// The same id from the shape's unit frames in tile order.
std::string shapeSuggestionID(const std::vector<CGRect>& unitFrames);
/// The arrangement read off the screen has one id whatever its tiles: what is remembered
/// is that the user keeps the windows as they stand.
inline constexpr std::string_view kFillSuggestionID = "fill";

/// The tiles' frames in the unit square, in tile order (a tree solved without gaps).
std::vector<CGRect> unitFrames(const TileShape& shape);
/// Unit frames sorted top to bottom, then left to right (edges compared in thousandths),
/// the order in which two shapes' tiles are compared.
std::vector<CGRect> sortedTopToBottom(std::vector<CGRect> frames);
/// Whether two shapes have the same tiles: the same count and, with both lists of unit
/// frames sorted top to bottom then left to right, every frame equal within 0.002.
bool sameTiles(const std::vector<CGRect>& a, const std::vector<CGRect>& b);

/// Keys "displayID", "shape", "layout" (when present), "windows" (numbers or null),
/// "title", "name", "fillsFromScreen". Reading requires the display id and the shape; the
/// slots are padded or cut to the tile count and a window seen twice keeps its first slot.
void to_json(nlohmann::json& json, const Suggestion::Arrangement& arrangement);
void from_json(const nlohmann::json& json, Suggestion::Arrangement& arrangement);

}  // namespace kestles
