#include "KestlesCore/settings/KeyCommand.hpp"

#include "KestlesCore/model/EnumTable.hpp"

namespace kestles {
namespace {

constexpr int kControlOption = KeyModifiers::control | KeyModifiers::option;

struct Info {
  KeyCommand value;
  std::string_view raw;
  std::string_view title;
  int defaultKeyCode = -1;  // -1: no default key; defaults are all ⌃⌥
};

constexpr EnumTable kCommands{std::to_array<Info>({
    {KeyCommand::nextKestle, "nextKestle", "Next Kestle", 48},
    {KeyCommand::previousKestle, "previousKestle", "Previous Kestle"},
    {KeyCommand::undo, "undo", "Undo", 6},
    {KeyCommand::tileWindows, "tileWindows", "Tile Windows", 0},
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
    {KeyCommand::windowHints, "windowHints", "Window Hints", 13},
    {KeyCommand::keepTiled, "keepTiled", "Keep Tiled"},
    {KeyCommand::makeMain, "makeMain", "Make Main"},
    {KeyCommand::tileOrFloat, "tileOrFloat", "Tile or Float"},
    {KeyCommand::swapNextDisplay, "swapNextDisplay", "Swap with Next Display"},
    {KeyCommand::swapPreviousDisplay, "swapPreviousDisplay", "Swap with Previous Display"},
    {KeyCommand::moveToTile, "moveToTile", "Move to Tile"},
    {KeyCommand::editTiles, "editTiles", "Edit Tiles"},
    {KeyCommand::arrangeWithKeys, "arrangeWithKeys", "Arrange with Keys", 49},
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

std::optional<KeyCombo> defaultKeys(KeyCommand command) {
  int code = kCommands[command].defaultKeyCode;
  if (code < 0) return std::nullopt;
  return KeyCombo{code, KeyModifiers{kControlOption}};
}

}  // namespace kestles
