#include "KestlesCore/command/KeyBindings.hpp"

#include "KestlesCore/settings/ShortcutUse.hpp"
#include "KestlesCore/snap/SnapAction.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

using Command = KestlesCommand;

void add(KeyBindings& keys, KeyCombo combo, KestlesCommand command, std::string title) {
  KeyBinding binding{combo, std::move(command), std::move(title)};
  for (const auto& taken : keys.bindings)
    if (taken.combo == combo) {
      keys.clashes.push_back(std::move(binding));
      return;
    }
  keys.bindings.push_back(std::move(binding));
}

/// The digit keys: the n-th combination (digit n + 1) opens what holds number n + 1.
template <class Items, class Make>
void addDigits(KeyBindings& keys, const std::vector<KeyCombo>& combos, const Items& items,
               Make make) {
  for (std::size_t digit = 0; digit < combos.size(); ++digit)
    for (const auto& item : items)
      if (item.number == static_cast<int>(digit) + 1) {
        auto [command, title] = make(item);
        add(keys, combos[digit], std::move(command), std::move(title));
      }
}

}  // namespace

KestlesCommand commandOf(KeyCommand command) {
  switch (command) {
    case KeyCommand::nextKestle:
      return {Command::NextKestle{1}};
    case KeyCommand::previousKestle:
      return {Command::NextKestle{-1}};
    case KeyCommand::undo:
      return {Command::Undo{}};
    case KeyCommand::redo:
      return {Command::Redo{}};
    case KeyCommand::tileWindows:
      return {Command::Tile{}};
    case KeyCommand::tileAppWindows:
      return {Command::Tile{std::nullopt, {TileApps::Front{}}, {}}};
    case KeyCommand::tileAllDisplays:
      return {Command::TileAllDisplays{}};
    case KeyCommand::pickWindows:
      return {Command::PickWindows{}};
    case KeyCommand::evenOut:
      return {Command::RetileTiles{Retile::evenOut()}};
    case KeyCommand::rotate:
      return {Command::RetileTiles{Retile::rotate(1)}};
    case KeyCommand::rotateBack:
      return {Command::RetileTiles{Retile::rotate(-1)}};
    case KeyCommand::flipHorizontal:
      return {Command::RetileTiles{Retile::flip(Retile::Flip::horizontal)}};
    case KeyCommand::flipVertical:
      return {Command::RetileTiles{Retile::flip(Retile::Flip::vertical)}};
    case KeyCommand::turnSplit:
      return {Command::RetileTiles{Retile::turn()}};
    case KeyCommand::focusLeft:
      return {Command::Focus{TileEdge::left}};
    case KeyCommand::focusRight:
      return {Command::Focus{TileEdge::right}};
    case KeyCommand::focusUp:
      return {Command::Focus{TileEdge::top}};
    case KeyCommand::focusDown:
      return {Command::Focus{TileEdge::bottom}};
    case KeyCommand::swapLeft:
      return {Command::Swap{TileEdge::left}};
    case KeyCommand::swapRight:
      return {Command::Swap{TileEdge::right}};
    case KeyCommand::swapUp:
      return {Command::Swap{TileEdge::top}};
    case KeyCommand::swapDown:
      return {Command::Swap{TileEdge::bottom}};
    case KeyCommand::windowHints:
      return {Command::Hints{}};
    case KeyCommand::keepTiled:
      return {Command::KeepTiled{}};
    case KeyCommand::makeMain:
      return {Command::MakeMain{}};
    case KeyCommand::tileOrFloat:
      return {Command::TileOrFloat{}};
    case KeyCommand::swapNextDisplay:
      return {Command::SwapDisplays{1}};
    case KeyCommand::swapPreviousDisplay:
      return {Command::SwapDisplays{-1}};
    case KeyCommand::moveToTile:
      return {Command::MoveToTile{}};
    case KeyCommand::editTiles:
      return {Command::EditTiles{}};
    case KeyCommand::arrangeWithKeys:
      return {Command::ArrangeWithKeys{}};
    case KeyCommand::widerGaps:
      return {Command::Gaps{GapsChange::wider()}};
    case KeyCommand::narrowerGaps:
      return {Command::Gaps{GapsChange::narrower()}};
  }
  return {Command::Undo{}};
}

KeyBindings KeyBindings::of(const Library& library) {
  const auto& settings = library.settings;
  KeyBindings keys;
  for (auto command : allKeyCommands())
    if (auto combo = settings.keys(command))
      add(keys, *combo, commandOf(command), std::string(title(command)));
  if (settings.snapKeysEnabled)
    for (auto action : allSnapActions())
      if (auto combo = settings.keys(action))
        add(keys, *combo, {Command::Snap{action}}, std::string(title(action)));
  if (auto panel = settings.keys(ShortcutUse::panel()); !panel.empty())
    add(keys, panel.front(), {Command::Panel{}}, "Panel");
  addDigits(keys, settings.keys(ShortcutUse::kestles()), library.kestles, [](const auto& kestle) {
    return std::pair{KestlesCommand{Command::Kestle{kestle.name}},
                     "Kestle " + text::quoted(kestle.name)};
  });
  addDigits(keys, settings.keys(ShortcutUse::layouts()), library.layouts, [](const auto& layout) {
    return std::pair{KestlesCommand{Command::Layout{layout.name, std::nullopt}},
                     "Layout " + text::quoted(layout.name)};
  });
  return keys;
}

}  // namespace kestles
