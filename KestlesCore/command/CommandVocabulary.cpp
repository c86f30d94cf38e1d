#include "KestlesCore/command/CommandVocabulary.hpp"

#include "KestlesCore/command/PlainCommand.hpp"
#include "KestlesCore/model/EnumTable.hpp"

namespace kestles {
namespace {

constexpr EnumTable kNames{std::to_array<EnumWord<CommandName>>({
    {CommandName::kestle, "kestle"},
    {CommandName::layout, "layout"},
    {CommandName::tile, "tile"},
    {CommandName::swapDisplays, "swap-displays"},
    {CommandName::snap, "snap"},
    {CommandName::focus, "focus"},
    {CommandName::swap, "swap"},
    {CommandName::rotate, "rotate"},
    {CommandName::flip, "flip"},
    {CommandName::gaps, "gaps"},
    {CommandName::keepTiled, "keep-tiled"},
    {CommandName::leaveOut, "leave-out"},
    {CommandName::open, "open"},
    {CommandName::tour, "tour"},
    {CommandName::showMe, "show-me"},
    {CommandName::welcome, "welcome"},
    {CommandName::tip, "tip"},
    {CommandName::save, "save"},
    {CommandName::debug, "debug"},
})};

}  // namespace

std::string_view commandWord(CommandName name) {
  return kNames[name].word;
}

std::optional<CommandName> commandNameOfWord(std::string_view word) {
  return kNames.find(&EnumWord<CommandName>::word, word);
}

std::vector<CommandName> allCommandNames() {
  return {kNames.cases().begin(), kNames.cases().end()};
}

std::optional<CommandName> commandNameOf(const KestlesCommand& command) {
  using C = KestlesCommand;
  using Name = std::optional<CommandName>;
  return std::visit(
      [](const auto& value) -> Name {
        using V = std::decay_t<decltype(value)>;
        if constexpr (CarriesNothing<V> || std::is_same_v<V, C::NextKestle>) {
          return std::nullopt;
        } else if constexpr (std::is_same_v<V, C::Kestle>) {
          return CommandName::kestle;
        } else if constexpr (std::is_same_v<V, C::Layout>) {
          return CommandName::layout;
        } else if constexpr (std::is_same_v<V, C::Tile> || std::is_same_v<V, C::TileAllDisplays>) {
          return CommandName::tile;
        } else if constexpr (std::is_same_v<V, C::SwapDisplays>) {
          return CommandName::swapDisplays;
        } else if constexpr (std::is_same_v<V, C::Snap>) {
          return CommandName::snap;
        } else if constexpr (std::is_same_v<V, C::Focus>) {
          return CommandName::focus;
        } else if constexpr (std::is_same_v<V, C::Swap>) {
          return CommandName::swap;
        } else if constexpr (std::is_same_v<V, C::RetileTiles>) {
          if (std::holds_alternative<Retile::Rotate>(value.retile.value))
            return CommandName::rotate;
          if (std::holds_alternative<Retile::FlipTiles>(value.retile.value))
            return CommandName::flip;
          return std::nullopt;  // even-out and turn-split are plain
        } else if constexpr (std::is_same_v<V, C::Gaps>) {
          return CommandName::gaps;
        } else if constexpr (std::is_same_v<V, C::KeepTiled>) {
          return CommandName::keepTiled;
        } else if constexpr (std::is_same_v<V, C::LeaveOut>) {
          return CommandName::leaveOut;
        } else if constexpr (std::is_same_v<V, C::Open>) {
          return CommandName::open;
        } else if constexpr (std::is_same_v<V, C::Tour>) {
          return CommandName::tour;
        } else if constexpr (std::is_same_v<V, C::ShowMe>) {
          return CommandName::showMe;
        } else if constexpr (std::is_same_v<V, C::Welcome>) {
          return CommandName::welcome;
        } else if constexpr (std::is_same_v<V, C::ShowTip>) {
          return CommandName::tip;
        } else if constexpr (std::is_same_v<V, C::Save>) {
          return CommandName::save;
        } else {
          static_assert(std::is_same_v<V, C::Debug>, "every command needs its name or plain word");
          return CommandName::debug;
        }
      },
      command.value);
}

std::vector<std::string_view> commandLineWords() {
  std::vector<std::string_view> words;
  for (const auto& plain : plainCommands())
    words.push_back(plain.commandLineWords.front());
  for (const auto& row : kNames.rows())
    words.push_back(row.word);
  return words;
}

}  // namespace kestles
