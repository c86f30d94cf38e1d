#include "KestlesApp/PaletteCommand.hpp"

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "KestlesApp/CommandLog.hpp"
#include "KestlesApp/DesktopSession.hpp"
#include "KestlesApp/LibraryFile.hpp"
#include "KestlesApp/Notifier.hpp"
#include "KestlesApp/RunningAppLink.hpp"
#include "KestlesCore/command/CommandLink.hpp"
#include "KestlesCore/library/KestlesPaths.hpp"
#include "KestlesCore/palette/PaletteCatalog.hpp"
#include "KestlesCore/palette/PaletteChoice.hpp"
#include "KestlesCore/palette/PaletteIndex.hpp"
#include "KestlesCore/palette/PaletteMode.hpp"
#include "KestlesCore/session/SessionState.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles::app {
namespace {

/// What the palette lists: the library, the session state and, when there is a desktop, its
/// windows.
struct PaletteSources {
  Library library;
  SessionState state;
  std::unique_ptr<DesktopSession> desktop;  // null without a desktop
  World world;
};

/// The palette works without a desktop too (the library's items are still there), so a
/// desktop that cannot be opened is no failure and its reason is not printed.
std::unique_ptr<DesktopSession> quietDesktop() {
  std::ostringstream reason;
  return DesktopSession::open(reason, KestlesPaths::learnedSizes());
}

/// Text as the palette prints it. Titles and names come from other programs (windows, apps,
/// imported libraries): their control characters are escaped, so an item stays on its line
/// and cannot command the terminal. Backslashes stay, so titles read as written.
std::string printable(std::string_view text) {
  return text::escapedControls(text, text::Backslash::kept);
}

/// An item's text on one line, as printed: its title, and its subtitle after a dash.
std::string lineOf(const PaletteItem& item) {
  return printable(item.subtitle ? item.title + " — " + *item.subtitle : item.title);
}

void printGroups(const std::vector<PaletteGroup>& groups, std::ostream& out) {
  for (const auto& group : groups) {
    out << title(group.section) << '\n';
    for (const auto& item : group.items) {
      out << "  " << lineOf(item);
      if (item.detail) out << "  " << printable(*item.detail);
      out << '\n';
    }
  }
}

struct MenuLine {
  std::string text;
  PaletteItem item;
};

/// One line per action, recents first, as printed. A line that reads like another one of a
/// different action (two windows with the same title, or titles that differ only where one
/// is escaped) gets its number, " (2)", so that the line read back names one item.
std::vector<MenuLine> menuLines(const std::vector<PaletteGroup>& groups) {
  std::vector<MenuLine> lines;
  std::map<std::string, std::vector<PaletteAction>> seen;
  for (const auto& group : groups)
    for (const auto& item : group.items) {
      auto text = lineOf(item);
      auto& actions = seen[text];
      if (std::ranges::find(actions, item.action) != actions.end()) continue;
      actions.push_back(item.action);
      if (actions.size() > 1) text += " (" + std::to_string(actions.size()) + ")";
      lines.push_back({std::move(text), item});
    }
  return lines;
}

/// Carries the item out; nothing when that went well, else the sentence that says why not.
std::optional<std::string> carryOut(const PaletteItem& item, PaletteSources& sources) {
  auto choice = PaletteChoice::of(item, sources.library);
  if (auto* elsewhere = std::get_if<PaletteChoice::Elsewhere>(&choice.value))
    return elsewhere->sentence;
  if (auto* window = std::get_if<PaletteChoice::FocusWindow>(&choice.value)) {
    if (sources.desktop && sources.desktop->focus(window->window)) return std::nullopt;
    return text::quoted(item.title) + " isn’t open any more.";
  }
  // The running app writes the state file, the recents included: it records the action as
  // it receives it, before the command.
  if (item.action.isRecordable())
    if (auto failure = deliverToRunningApp(recordLink({RecordRequest::PaletteRecent{item.action}})))
      return failure;
  auto& command = std::get<PaletteChoice::Link>(choice.value).command;
  return deliverToRunningApp(commandLink(command));
}

std::string joined(std::span<const std::string_view> words) {
  std::string text;
  for (auto word : words) {
    if (!text.empty()) text += ' ';
    text += word;
  }
  return text;
}

int list(const PaletteIndex& index, const PaletteSources& sources, std::string_view query,
         const PaletteStreams& streams) {
  auto groups = index.groups(query, sources.state.paletteRecents);
  if (groups.empty()) return fail(streams.err, PaletteMode::nothingMatchesSentence(query));
  printGroups(groups, streams.out);
  return 0;
}

/// A menu shows no messages of its own, so a failure is shown as a notice too.
int failInMenu(std::ostream& err, const std::string& sentence) {
  CommandLog quiet(platform::LogLevel::error);
  makeDesktopNotifier(quiet)->notify("Kestles", sentence);
  return fail(err, sentence);
}

int menu(const PaletteIndex& index, PaletteSources& sources, const PaletteStreams& streams) {
  auto lines = menuLines(index.groups("", sources.state.paletteRecents));
  for (const auto& line : lines)
    streams.out << line.text << '\n';
  streams.out.flush();
  streams.endList();
  std::string chosen;
  if (!std::getline(streams.in, chosen)) return 0;  // the menu was closed: nothing chosen
  if (chosen.ends_with('\r')) chosen.pop_back();
  if (chosen.empty()) return 0;
  auto found = std::ranges::find(lines, chosen, &MenuLine::text);
  if (found == lines.end())
    return failInMenu(streams.err, "Nothing in the palette reads " + text::quoted(chosen) + ".");
  if (auto failure = carryOut(found->item, sources)) return failInMenu(streams.err, *failure);
  return 0;
}

}  // namespace

int runPaletteCommand(std::span<const std::string_view> arguments, const PaletteStreams& streams) {
  bool dmenu = std::ranges::find(arguments, "--dmenu") != arguments.end();
  if (dmenu && arguments.size() > 1)
    return fail(streams.err, "palette takes a query, or --dmenu alone.");
  PaletteSources sources;
  auto library = readLibrary(KestlesPaths::library(), streams.err);
  if (!library) return 1;
  sources.library = std::move(*library);
  sources.state = SessionState::read(KestlesPaths::sessionState());
  sources.desktop = quietDesktop();
  if (sources.desktop) sources.world = sources.desktop->world().world;
  PaletteIndex index(PaletteCatalog::items(sources.library, sources.world, sources.state.undo));
  return dmenu ? menu(index, sources, streams) : list(index, sources, joined(arguments), streams);
}

}  // namespace kestles::app
