#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "KestlesCore/keys/KeyCombo.hpp"

namespace kestles {

/// A command that can be given a key of its own; the case order is the order of lists.
enum class Command {
  nextKestle,
  previousKestle,
  undo,
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

inline constexpr std::size_t kCommandCount = 32;

/// Every command, in case order.
const std::array<Command, kCommandCount>& allCommands();

/// The raw value stored in files: the case name ("tileWindows").
std::string_view rawValue(Command command);

/// The command of a raw value, or nothing.
std::optional<Command> commandFromRawValue(std::string_view raw);

/// The title shown to users ("Tile Windows").
std::string_view title(Command command);

/// The key a command has when the settings bind none, or nothing.
std::optional<KeyCombo> defaultKeys(Command command);

}  // namespace kestles
