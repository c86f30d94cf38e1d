#include "KestlesCore/settings/KeyCommand.hpp"

#include "KestlesCore/model/EnumTable.hpp"

namespace kestles {
namespace {

struct Info {
  KeyCommand value;
  std::string_view raw;
  std::string_view title;
};

constexpr EnumTable kCommands{std::to_array<Info>({
    {KeyCommand::nextKestle, "nextKestle", "Next Kestle"},
    {KeyCommand::previousKestle, "previousKestle", "Previous Kestle"},
    {KeyCommand::undo, "undo", "Undo"},
    {KeyCommand::redo, "redo", "Redo"},
    {KeyCommand::tileWindows, "tileWindows", "Tile Windows"},
    {KeyCommand::tileAppWindows, "tileAppWindows", "Tile App Windows"},
    {KeyCommand::tileAllDisplays, "tileAllDisplays", "Tile All Displays"},
    {KeyCommand::pickWindows, "pickWindows", "Pick Windows"},
    {KeyCommand::evenOut, "evenOut", "Even Out"},
    {KeyCommand::rotate, "rotate", "Rotate Windows"},
    {KeyCommand::rotateBack, "rotateBack", "Rotate Windows Back"},
    {KeyCommand::flipHorizontal, "flipHorizontal", "Flip Horizontal"},
    {KeyCommand::flipVertical, "flipVertical", "Flip Vertical"},
    {KeyCommand::turnSplit, "turnSplit", "Turn Split"},
    {KeyCommand::focusLeft, "focusLeft", "Focus Left"},
    {KeyCommand::focusRight, "focusRight", "Focus Right"},
    {KeyCommand::focusUp, "focusUp", "Focus Up"},
    {KeyCommand::focusDown, "focusDown", "Focus Down"},
    {KeyCommand::swapLeft, "swapLeft", "Swap Left"},
    {KeyCommand::swapRight, "swapRight", "Swap Right"},
    {KeyCommand::swapUp, "swapUp", "Swap Up"},
    {KeyCommand::swapDown, "swapDown", "Swap Down"},
    {KeyCommand::windowHints, "windowHints", "Window Hints"},
    {KeyCommand::keepTiled, "keepTiled", "Keep Tiled"},
    {KeyCommand::makeMain, "makeMain", "Make Main"},
    {KeyCommand::tileOrFloat, "tileOrFloat", "Tile or Float"},
    {KeyCommand::swapNextDisplay, "swapNextDisplay", "Swap with Next Display"},
    {KeyCommand::swapPreviousDisplay, "swapPreviousDisplay", "Swap with Previous Display"},
    {KeyCommand::moveToTile, "moveToTile", "Move to Tile"},
    {KeyCommand::editTiles, "editTiles", "Edit Tiles"},
    {KeyCommand::arrangeWithKeys, "arrangeWithKeys", "Arrange with Keys"},
    {KeyCommand::widerGaps, "widerGaps", "Wider Gaps"},
    {KeyCommand::narrowerGaps, "narrowerGaps", "Narrower Gaps"},
})};

}  // namespace

std::span<const KeyCommand> allKeyCommands() {
  return kCommands.cases();
}

std::string_view rawValue(KeyCommand command) {
  return kCommands[command].raw;
}

std::optional<KeyCommand> keyCommandFromRawValue(std::string_view raw) {
  return kCommands.find(&Info::raw, raw);
}

std::string_view title(KeyCommand command) {
  return kCommands[command].title;
}

}  // namespace kestles
