#include "KestlesApp/AppHelp.hpp"

namespace kestles::app {

const std::vector<AppCommand>& appCommands() {
  static const std::vector<AppCommand> commands{
      {"", "",
       "Run Kestles on this desktop: it serves the kestles command, holds the keys and keeps "
       "the displays tiled that you asked it to. The kestles command starts it when it isn’t "
       "running."},
      {"plan", "[--world FILE] [--library FILE] [--state FILE] LINK [--keys KEYS]",
       "Print as JSON what a command link would do, without moving a window."},
      {"world", "", "Print the displays, apps and windows as Kestles sees them, as JSON."},
      {"place", "WINDOW X Y W H", "Put one window at a frame, in pixels."},
      {"palette", "[QUERY | --dmenu]",
       "List what the panel offers for the query; with --dmenu, hand the list to a menu such "
       "as rofi or dmenu and carry out the line chosen."},
      {"assistant", "[--save | --apply] SENTENCE",
       "Turn a sentence into a kestle; save it, or apply it too."},
      {"defaults", "write SUITE KEY -bool true|false", "Change one of the app’s switches."},
      {"help", "", "Show this help."},
      {"--version", "", "Print the version."},
  };
  return commands;
}

std::string appHelpText() {
  std::string text = "Kestles arranges your windows in tiles.\n\nUsage: kestles-app [command]\n\n";
  for (const auto& command : appCommands()) {
    std::string usage = command.word.empty() ? "(no command)" : std::string(command.word);
    if (!command.arguments.empty()) usage.append(" ").append(command.arguments);
    text.append("  ").append(usage).append("\n      ").append(command.summary).append("\n");
  }
  return text;
}

}  // namespace kestles::app
