#pragma once

#include <string_view>
#include <vector>

#include "KestlesCore/library/Library.hpp"
#include "KestlesCore/palette/PaletteItem.hpp"
#include "KestlesCore/undo/UndoHistory.hpp"
#include "KestlesCore/world/World.hpp"

namespace kestles {

/// The palette's item lists: every fixed command with its title and keywords, and the items
/// made from the library, the windows on screen and the undo history. All the palette's
/// titles come from here.
struct PaletteCatalog {
  /// Every item in section order: the library's kestles, then the commands about kestles;
  /// built-in and saved layouts; tiling; rearranging; focus and swap; snapping; the app's
  /// own commands that this desktop can carry out; one item per window (titled by the window, or
  /// its app when it has no title); undo and redo, then the undo history newest first.
  static std::vector<PaletteItem> items(const Library& library, const World& world,
                                        const UndoHistory& undo);

  /// The item that hands the typed text to the assistant ("Ask the Assistant").
  static PaletteItem ask(std::string_view request);
};

}  // namespace kestles
