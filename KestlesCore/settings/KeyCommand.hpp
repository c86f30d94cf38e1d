#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "KestlesCore/keys/KeyCombo.hpp"

namespace kestles {

/// A command that can be given a key of its own; the case order is the order of lists.
enum class KeyCommand {
  nextKestle,
  previousKestle,
  undo,
  redo,
  tileWindows,
  tileAppWindows,
  tileAllDisplays,
  pickWindows,
  evenOut,
  rotate,
  rotateBack,
  flipHorizontal,
  flipVertical,
  turnSplit,
  focusLeft,
  focusRight,
  focusUp,
  focusDown,
  swapLeft,
  swapRight,
  swapUp,
  swapDown,
  windowHints,
  keepTiled,
  makeMain,
  tileOrFloat,
  swapNextDisplay,
  swapPreviousDisplay,
  moveToTile,
  editTiles,
  arrangeWithKeys,
  widerGaps,
  narrowerGaps,
};

/// Every command, in case order.
std::span<const KeyCommand> allKeyCommands();

/// The raw value stored in files: the case name ("tileWindows").
std::string_view rawValue(KeyCommand command);

/// The command of a raw value, or nothing.
std::optional<KeyCommand> keyCommandFromRawValue(std::string_view raw);

/// The title shown to users ("Tile Windows").
std::string_view title(KeyCommand command);

}  // namespace kestles
