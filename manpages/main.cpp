// Writes the manual pages of kestles and kestles-app into the folder named, from the same
// words as their help, for the build to install.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "KestlesApp/AppHelp.hpp"
#include "KestlesApp/AppVersion.hpp"
#include "kestles/HelpText.hpp"
#include "kestles/ManPage.hpp"

namespace {

using kestles::tool::ManPage;

constexpr const char* kFiles =
    "$XDG_DATA_HOME/kestles/library.json (default ~/.local/share/kestles/library.json): your "
    "kestles, layouts, display rules and settings.\n\n"
    "$XDG_STATE_HOME/kestles/state.json (default ~/.local/state/kestles/state.json): the "
    "tilings, the undo history and what keep tiled looks after.\n\n"
    "$XDG_STATE_HOME/kestles/app.log: the app's log when it runs outside the journal; under "
    "systemd, read it with journalctl --user -u kestles.\n\n"
    "$XDG_RUNTIME_DIR/kestles/app.sock: the socket the kestles command talks to the app on.";

constexpr const char* kStarting =
    "The kestles command starts the app when it isn’t running. To start it with your "
    "session, the desktop entry in /etc/xdg/autostart or ~/.config/autostart does it on "
    "every desktop that follows the XDG autostart rules. With systemd, run systemctl --user "
    "enable --now kestles; on a desktop that never reaches graphical-session.target (openbox, "
    "i3 and Xfce sessions, say), first hand the session's display to systemd from your "
    "session's start-up: systemctl --user import-environment DISPLAY XAUTHORITY.";

ManPage toolPage() {
  ManPage page;
  page.name = "kestles";
  page.section = "1";
  page.purpose = "arrange windows in tiles from the command line";
  page.synopsis = "kestles <command> [arguments]";
  page.commands = ManPage::entriesOfHelp(kestles::tool::helpText());
  page.sections = {
      {"DESCRIPTION",
       "kestles hands each command to the running Kestles app, starting it when needed. It "
       "says nothing when a command was carried out; a sentence on standard error says why "
       "nothing or only part was done.\n\n"
       "Names match in any case, or by their start when only one name starts that way."},
      {"EXIT STATUS", "0 when the command was carried out, 1 when nothing was done."},
      {"FILES", kFiles},
      {"STARTING AT LOGIN", kStarting},
      {"SEE ALSO", "kestles-app(1)"},
  };
  return page;
}

ManPage appPage() {
  ManPage page;
  page.name = "kestles-app";
  page.section = "1";
  page.purpose = "the Kestles app, which arranges windows in tiles";
  page.synopsis = "kestles-app [command]";
  for (const auto& command : kestles::app::appCommands()) {
    std::string usage = command.word.empty() ? "kestles-app" : std::string(command.word);
    if (!command.arguments.empty()) usage.append(" ").append(command.arguments);
    page.commands.push_back({usage, std::string(command.summary)});
  }
  page.sections = {
      {"FILES", kFiles},
      {"STARTING AT LOGIN", kStarting},
      {"SEE ALSO", "kestles(1)"},
  };
  return page;
}

bool write(const std::filesystem::path& file, const std::string& text) {
  std::ofstream out(file);
  out << text;
  return out.good();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "kestles-manpages takes the folder to write the pages into.\n");
    return 1;
  }
  std::filesystem::path folder(argv[1]);
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  auto version = kestles::app::appVersion();
  bool written = write(folder / "kestles.1", toolPage().roff(version)) &&
                 write(folder / "kestles-app.1", appPage().roff(version));
  return written ? 0 : 1;
}
