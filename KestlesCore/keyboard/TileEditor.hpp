#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/keys/KeyModifiers.hpp"
#include "KestlesCore/layout/TileEdge.hpp"
#include "KestlesCore/tiling/LiveTiles.hpp"
#include "KestlesCore/tiling/Tiling.hpp"
#include "KestlesCore/world/WindowID.hpp"
#include "KestlesCore/world/World.hpp"

namespace kestles {

/// Editing the tiles of one display with plain keys while the windows follow: the arrows
/// choose a tile, ⇧ and an arrow trade its window, ⌥ and an arrow push its edge, S splits
/// it, Delete closes it, F fills the empty ones, U undoes; Return keeps the result and
/// Escape puts everything back.
struct TileEditor {
  /// The inputs of the editor.
  struct Key {
    struct Choose {
      TileEdge edge = TileEdge::left;
      bool operator==(const Choose&) const = default;
    };
    struct Swap {
      TileEdge edge = TileEdge::left;
      bool operator==(const Swap&) const = default;
    };
    struct MoveEdge {
      TileEdge edge = TileEdge::left;
      bool operator==(const MoveEdge&) const = default;
    };
    struct Next {
      bool forward = true;
      bool operator==(const Next&) const = default;
    };
    struct Split {
      bool across = false;
      bool operator==(const Split&) const = default;
    };
    enum class Plain { close, fill, evenOut, undo, keep, cancel };
    std::variant<Choose, Swap, MoveEdge, Next, Split, Plain> value;

    static Key choose(TileEdge edge) { return {Choose{edge}}; }
    static Key swap(TileEdge edge) { return {Swap{edge}}; }
    static Key moveEdge(TileEdge edge) { return {MoveEdge{edge}}; }
    static Key next(bool forward) { return {Next{forward}}; }
    static Key split(bool across) { return {Split{across}}; }
    static Key close() { return {Plain::close}; }
    static Key fill() { return {Plain::fill}; }
    static Key evenOut() { return {Plain::evenOut}; }
    static Key undo() { return {Plain::undo}; }
    static Key keep() { return {Plain::keep}; }
    static Key cancel() { return {Plain::cancel}; }

    /// The key a key press means in the editor, or nothing (any press with ⌃, ⌘ and an
    /// arrow, ⌘ with anything but Z). Characters are compared lower-cased.
    static std::optional<Key> from(int keyCode, KeyModifiers modifiers,
                                   std::string_view characters);

    bool operator==(const Key&) const = default;
  };

  /// How the edit ended, if it has.
  enum class Ending { editing, kept, cancelled };

  /// What an undo goes back to.
  struct Step {
    Tiling tiling;
    int selected = 0;
    std::map<WindowID, CGRect> floating;
    bool operator==(const Step&) const = default;
  };

  /// A split is refused when either new tile would be narrower or shorter than this.
  static constexpr double smallestSplit = 120;
  /// How far one push moves a divider: this share of the display's width or height.
  static constexpr double pushShare = 0.05;

  std::string displayID;
  std::string displayName;
  CGRect bounds;  // the display's area for tiles
  Tiling tiling;
  int selected = 0;
  std::map<WindowID, CGRect> startFrames;  // when the editor opened
  std::map<WindowID, CGRect> floating;     // put out of tiles during the edit
  LiveTiles session;                       // carries `tiling` for its display
  Tiling initial;
  std::set<WindowID> tileable;
  std::map<WindowID, CGRect> remembered;  // where a window goes when it leaves the tiles
  std::vector<Step> undoStack;
  Ending ending = Ending::editing;
  bool wasTiled = true;  // the display had tiles when the editor opened; a cancel keeps none

  /// The editor over the display of the window (else the active display), selecting the
  /// window's tile. A display without a tiling starts as one tile holding the window.
  /// Nothing without a display.
  static std::optional<TileEditor> open(std::optional<WindowID> window, const World& world,
                                        const LiveTiles& session);

  /// The editor after the key, or nothing when the key is refused (no neighbour that way,
  /// a split too small, nothing to undo, an edit that already ended…).
  std::optional<TileEditor> apply(const Key& key) const;

  /// Where every window the edit concerns stands now: the tiled windows in their tiles and
  /// the windows put out at their remembered frames; after a cancel, the frames from when
  /// the editor opened.
  std::map<WindowID, CGRect> frames() const;

  /// The tile frames on the display, in tile order.
  std::vector<CGRect> tileFrames() const;

  bool operator==(const TileEditor&) const = default;

 private:
  bool choose(TileEdge edge);
  bool swap(TileEdge edge);
  bool moveEdge(TileEdge edge);
  bool next(bool forward);
  bool split(bool across);
  bool close();
  bool fill();
  bool undo();
  void cancel();
  void settle();
};

}  // namespace kestles
