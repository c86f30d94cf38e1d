#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "KestlesCore/command/KestlesCommand.hpp"

namespace kestles {

/// The commands that carry a value, each named by one word that is both the host of its link
/// and the command-line word that starts it. Commands named by a word alone are in the
/// plain-command table (`plainCommands`). The link codec, the tool's parser and the shell
/// completions all read these two tables, and each reads a name with an exhaustive switch,
/// so a new command cannot be half added.
enum class CommandName {
  kestle,
  layout,
  tile,
  swapDisplays,
  snap,
  focus,
  swap,
  rotate,
  flip,
  gaps,
  keepTiled,
  leaveOut,
  open,
  tour,
  showMe,
  welcome,
  tip,
  save,
  debug,
};

/// The name's word ("keep-tiled").
std::string_view commandWord(CommandName name);

/// The name whose word is the lower-cased `word`, or nothing.
std::optional<CommandName> commandNameOfWord(std::string_view word);

/// Every command name, in case order.
std::vector<CommandName> allCommandNames();

/// The name of a command that carries a value; nothing for a command named by a word alone.
std::optional<CommandName> commandNameOf(const KestlesCommand& command);

/// The word that starts each command on the command line, as a shell offers them: each plain
/// command's first word, then each name's word.
std::vector<std::string_view> commandLineWords();

}  // namespace kestles
