#include "KestlesEngine/ipc/IpcAppOpener.hpp"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "KestlesCore/text/Text.hpp"
#include "KestlesEngine/ipc/IpcCommands.hpp"

namespace kestles::ipc {

void nameApps(IpcTree& tree, const x11::DesktopEntries& entries) {
  for (auto& window : tree.windows) {
    if (window.app.empty()) continue;
    // An X class (i3, or an X window on sway) is no application id.
    x11::WindowIdentity identity{window.xWindowID ? std::string() : window.app, {}, window.app};
    if (const auto* entry = entries.match(identity)) window.app = entry->id;
  }
}

std::optional<std::filesystem::path> IpcAppOpener::applicationURL(const std::string& bundleID) {
  const char* path = std::getenv("PATH");
  return catalog_.entries().locate(bundleID, path ? path : "/usr/local/bin:/usr/bin:/bin");
}

std::optional<std::string> IpcAppOpener::open(const std::filesystem::path& app, bool) {
  if (app.extension() != ".desktop") {
    auto results = session_.run(commands::exec(shellQuoted(app.string())));
    if (!results) return "The compositor did not answer.";
    if (results->empty() || !results->front().success)
      return "The compositor couldn’t start " + text::quoted(app.string()) + ".";
    return std::nullopt;
  }
  std::ifstream file(app, std::ios::binary);
  std::ostringstream contents;
  contents << file.rdbuf();
  auto entry = file ? x11::parseDesktopEntry(contents.str(), app.stem().string()) : std::nullopt;
  if (!entry) return "Couldn’t read the app’s desktop entry " + text::quoted(app.string()) + ".";
  auto argv = x11::execArguments(entry->exec);
  if (argv.empty()) return "The desktop entry of " + entry->name + " names no program to start.";
  std::string line;
  for (const auto& argument : argv) {
    if (!line.empty()) line += ' ';
    line += shellQuoted(argument);
  }
  auto results = session_.run(commands::exec(line));
  if (!results) return "The compositor did not answer.";
  if (results->empty() || !results->front().success)
    return "The compositor couldn’t start " + entry->name + ".";
  return std::nullopt;
}

}  // namespace kestles::ipc
