#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "KestlesCore/command/KestlesCommand.hpp"

namespace kestles {

/// A command alternative that carries nothing (`KestlesCommand::Undo` and the like).
template <class Value>
concept CarriesNothing = Value::carriesNothing;

/// A command named by a word alone, with every spelling of it: the host of its link and
/// the command-line words that name it. The link codec and the command line both read
/// this one table.
struct PlainCommand {
  KestlesCommand command;
  std::string_view linkHost;                       // "make-main"
  std::vector<std::string_view> commandLineWords;  // "make-main", "main"
};

/// Every command named by a word alone: those that carry nothing, next and previous
/// kestle, even-out and turn-split.
const std::vector<PlainCommand>& plainCommands();

/// The plain command whose link host is `host` (lower-case), or null.
const PlainCommand* plainCommandWithHost(std::string_view host);

/// The plain command that the lower-cased command-line `word` names, or null.
const PlainCommand* plainCommandWithWord(std::string_view word);

/// The link host of a plain command, or nothing for a command with a payload.
std::optional<std::string_view> plainLinkHost(const KestlesCommand& command);

}  // namespace kestles
