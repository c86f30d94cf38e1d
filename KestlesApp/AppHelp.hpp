#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestles::app {

/// One command of `kestles-app`: the word that starts it, what follows the word, and what
/// it does. The help and the manual page are both written from this one table.
struct AppCommand {
  std::string_view word;       // "plan"; empty for the app itself, run with no word
  std::string_view arguments;  // "[--world FILE] LINK"
  std::string_view summary;    // whole sentences
};

/// Every command, the app itself first.
const std::vector<AppCommand>& appCommands();

/// What `kestles-app --help` and `kestles-app help` print: a line of use, then each command
/// with its summary beneath.
std::string appHelpText();

}  // namespace kestles::app
