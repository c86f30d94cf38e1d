#include "KestlesCore/command/PlainCommand.hpp"

#include <algorithm>

namespace kestles {

const std::vector<PlainCommand>& plainCommands() {
  using C = KestlesCommand;
  static const std::vector<PlainCommand> table{
      {{C::NextKestle{1}}, "next-kestle", {"next"}},
      {{C::NextKestle{-1}}, "previous-kestle", {"previous", "prev"}},
      {{C::MakeMain{}}, "make-main", {"make-main", "main"}},
      {{C::TileOrFloat{}}, "tile-or-float", {"tile-or-float", "float"}},
      {{C::RetileTiles{Retile::evenOut()}}, "even-out", {"even-out", "evenout"}},
      {{C::RetileTiles{Retile::turn()}}, "turn-split", {"turn-split", "turn"}},
      {{C::Hints{}}, "hints", {"hints"}},
      {{C::MoveToTile{}}, "move-to-tile", {"move-to-tile"}},
      {{C::PickWindows{}}, "pick-windows", {"pick-windows", "pick"}},
      {{C::EditTiles{}}, "edit-tiles", {"edit-tiles"}},
      {{C::ArrangeWithKeys{}}, "arrange-with-keys", {"arrange-with-keys", "arrange"}},
      {{C::Undo{}}, "undo", {"undo"}},
      {{C::Redo{}}, "redo", {"redo"}},
      {{C::Panel{}}, "panel", {"panel"}},
      {{C::Status{}}, "status", {"status"}},
      {{C::Keys{}}, "keys", {"keys"}},
      {{C::Quit{}}, "quit", {"quit"}},
  };
  return table;
}

const PlainCommand* plainCommandWithHost(std::string_view host) {
  for (const auto& plain : plainCommands())
    if (plain.linkHost == host) return &plain;
  return nullptr;
}

const PlainCommand* plainCommandWithWord(std::string_view word) {
  for (const auto& plain : plainCommands())
    if (std::ranges::find(plain.commandLineWords, word) != plain.commandLineWords.end())
      return &plain;
  return nullptr;
}

std::optional<std::string_view> plainLinkHost(const KestlesCommand& command) {
  auto wanted = command;
  // Any step forward (zero included) is "next", any step back "previous".
  if (auto* next = std::get_if<KestlesCommand::NextKestle>(&wanted.value))
    next->offset = next->offset >= 0 ? 1 : -1;
  for (const auto& plain : plainCommands())
    if (plain.command == wanted) return plain.linkHost;
  return std::nullopt;
}

}  // namespace kestles
