#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestles::tool {

/// What a shell can offer after `kestles`: the commands the help text lists, and for each
/// command the words and options that can follow it.
struct CompletionWords {
  std::vector<std::string> commands;
  std::map<std::string, std::vector<std::string>> following;  // by command
  /// What is read at the moment of completing, by command: "kestles" and "layouts" (the
  /// names `kestles list` prints from the library) or "files".
  std::map<std::string, std::string> looked;
};

/// The words: every command of the command vocabulary (`commandLineWords`), and from the help
/// text the tool's own commands, the options and the choices written as "a | b", and from the
/// vocabularies the command line reads (snap places, styles, pages, lessons, tips).
CompletionWords completionWords();

/// The completion script for "bash", "zsh" or "fish"; nothing for another shell.
std::optional<std::string> completionScript(std::string_view shell);

}  // namespace kestles::tool
