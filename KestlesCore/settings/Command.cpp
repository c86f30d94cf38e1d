#include "KestlesCore/settings/Command.hpp"

namespace kestles {
namespace {

constexpr int kControlOption = KeyModifiers::control | KeyModifiers::option;

struct Info {
  std::string_view raw;
  std::string_view title;
  int defaultKeyCode = -1;  // -1: no default key; defaults are all ⌃⌥
};

constexpr std::array<Info, kCommandCount> kInfo{{
    {"nextKestle", "Next Kestle", 48},
    {"previousKestle", "Previous Kestle"},
    {"undo", "Undo", 6},
    {"tileWindows", "Tile Windows", 0},
    {"tileAppWindows", "Tile App Windows"},
    {"tileAllDisplays", "Tile All Displays"},
    {"pickWindows", "Pick Windows"},
    {"evenOut", "Even Out"},
    {"rotate", "Rotate Windows"},
    {"rotateBack", "Rotate Windows Back"},
    {"flipHorizontal", "Flip Horizontal"},
    {"flipVertical", "Flip Vertical"},
    {"turnSplit", "Turn Split"},
    {"focusLeft", "Focus Left"},
    {"focusRight", "Focus Right"},
    {"focusUp", "Focus Up"},
    {"focusDown", "Focus Down"},
    {"swapLeft", "Swap Left"},
    {"swapRight", "Swap Right"},
    {"swapUp", "Swap Up"},
    {"swapDown", "Swap Down"},
    {"windowHints", "Window Hints", 13},
    {"keepTiled", "Keep Tiled"},
    {"makeMain", "Make Main"},
    {"tileOrFloat", "Tile or Float"},
    {"swapNextDisplay", "Swap with Next Display"},
    {"swapPreviousDisplay", "Swap with Previous Display"},
    {"moveToTile", "Move to Tile"},
    {"editTiles", "Edit Tiles"},
    {"arrangeWithKeys", "Arrange with Keys", 49},
    {"widerGaps", "Wider Gaps"},
    {"narrowerGaps", "Narrower Gaps"},
}};

const Info& info(Command command) {
  return kInfo[static_cast<std::size_t>(command)];
}

}  // namespace

const std::array<Command, kCommandCount>& allCommands() {
  static const auto commands = [] {
    std::array<Command, kCommandCount> all{};
    for (std::size_t i = 0; i < kCommandCount; ++i)
      all[i] = static_cast<Command>(i);
    return all;
  }();
  return commands;
}

std::string_view rawValue(Command command) {
  return info(command).raw;
}

std::optional<Command> commandFromRawValue(std::string_view raw) {
  for (auto command : allCommands())
    if (rawValue(command) == raw) return command;
  return std::nullopt;
}

std::string_view title(Command command) {
  return info(command).title;
}

std::optional<KeyCombo> defaultKeys(Command command) {
  int code = info(command).defaultKeyCode;
  if (code < 0) return std::nullopt;
  return KeyCombo{code, KeyModifiers{kControlOption}};
}

}  // namespace kestles
