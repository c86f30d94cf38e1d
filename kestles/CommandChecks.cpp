#include "kestles/CommandChecks.hpp"

#include <charconv>

#include "KestlesCore/display/DisplaySetup.hpp"
#include "KestlesCore/layout/Template.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles::tool {
namespace {

using Command = KestlesCommand;

std::string quoted(const std::string& text) {
  return "“" + text + "”";
}

std::optional<int> decimalNumber(const std::string& text) {
  std::string_view digits = text;
  if (digits.starts_with('+')) digits.remove_prefix(1);
  int value = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
    return std::nullopt;
  return value;
}

/// "Your <things>: a, b" or the sentence for none.
std::string listOrNone(const std::vector<std::string>& names, const std::string& your,
                       const std::string& none) {
  if (names.empty()) return none;
  return your + text::joined(names, ", ");
}

std::optional<CLIError> checkDisplay(const std::optional<std::string>& name,
                                     const CheckSources& sources) {
  if (!name) return std::nullopt;
  DisplaySetup setup{sources.displays()};
  if (setup.matching(*name)) return std::nullopt;
  std::vector<std::string> names;
  for (const auto& display : setup.displays)
    names.push_back(display.name);
  return CLIError{"No connected display matches " + quoted(*name) + ". " +
                  listOrNone(names, "Your displays: ", "There are no displays yet.")};
}

std::optional<CLIError> checkKestle(const std::string& name, const Library& library) {
  if (kestleNamed(name, library.kestles)) return std::nullopt;
  std::vector<std::string> names;
  for (const auto& kestle : library.kestles)
    names.push_back(kestle.name);
  return CLIError{"No kestle matches " + quoted(name) + ". " +
                  listOrNone(names, "Your kestles: ", "There are no kestles yet.")};
}

std::optional<CLIError> checkLayout(const Command::Layout& layout, const Library& library,
                                    const CheckSources& sources) {
  std::vector<std::string> names;
  for (const auto& saved : library.layouts)
    names.push_back(saved.name);
  for (const auto& builtIn : Template::all())
    names.push_back(builtIn.name);
  if (!text::matchName(layout.name, names))
    return CLIError{"No layout matches " + quoted(layout.name) +
                    ". Run kestles list layouts to see them all."};
  return checkDisplay(layout.display, sources);
}

std::optional<CLIError> checkTile(const Command::Tile& tile, const CheckSources& sources) {
  if (auto error = checkDisplay(tile.display, sources)) return error;
  const auto* app = std::get_if<TileApps::Named>(&tile.apps.value);
  if (app == nullptr) return std::nullopt;
  auto open = sources.openAppNames();
  if (text::matchName(app->name, open)) return std::nullopt;
  return CLIError{"No open app matches " + quoted(app->name) + ". " +
                  listOrNone(open, "Your open apps: ", "There are no open apps yet.")};
}

std::optional<CLIError> checkLeaveOut(const Command::LeaveOut& leaveOut,
                                      const CheckSources& sources) {
  if (!leaveOut.app) return std::nullopt;
  auto names = sources.openAppNames();
  auto installed = sources.installedAppNames();
  names.insert(names.end(), installed.begin(), installed.end());
  if (text::matchName(*leaveOut.app, names)) return std::nullopt;
  return CLIError{"No app matches " + quoted(*leaveOut.app) +
                  ", of those open or in the Applications folders."};
}

/// The checks that need the library: the library is read only for these.
std::optional<CLIError> checkWithLibrary(const Command& command, const CheckSources& sources) {
  auto loaded = sources.library();
  if (const auto* error = std::get_if<CLIError>(&loaded)) return *error;
  const auto& library = std::get<Library>(loaded);
  if (const auto* kestle = std::get_if<Command::Kestle>(&command.value))
    return checkKestle(kestle->name, library);
  if (const auto* layout = std::get_if<Command::Layout>(&command.value))
    return checkLayout(*layout, library, sources);
  if (library.kestles.empty())
    return CLIError{"There are no kestles yet: arrange your windows, then Save Windows as Kestle."};
  return std::nullopt;
}

}  // namespace

const Kestle* kestleNamed(const std::string& text, const std::vector<Kestle>& kestles) {
  if (auto id = UUID::fromString(text))
    for (const auto& kestle : kestles)
      if (kestle.id == *id) return &kestle;
  if (auto number = decimalNumber(text))
    for (const auto& kestle : kestles)
      if (kestle.number == *number) return &kestle;
  auto index = text::matchName(text, kestles, [](const Kestle& kestle) { return kestle.name; });
  return index ? &kestles[*index] : nullptr;
}

std::optional<CLIError> checkCommand(const KestlesCommand& command, const CheckSources& sources) {
  const auto& value = command.value;
  if (std::holds_alternative<Command::Kestle>(value) ||
      std::holds_alternative<Command::NextKestle>(value) ||
      std::holds_alternative<Command::Layout>(value))
    return checkWithLibrary(command, sources);
  if (const auto* tile = std::get_if<Command::Tile>(&value)) return checkTile(*tile, sources);
  if (std::holds_alternative<Command::SwapDisplays>(value) && sources.displays().size() < 2)
    return CLIError{"There’s only one display, so nothing to swap it with."};
  if (const auto* keepTiled = std::get_if<Command::KeepTiled>(&value))
    return checkDisplay(keepTiled->display, sources);
  if (const auto* leaveOut = std::get_if<Command::LeaveOut>(&value))
    return checkLeaveOut(*leaveOut, sources);
  if (std::holds_alternative<Command::Debug>(value) && !sources.debugLinksOn())
    return CLIError{
        "Debug links are off. Turn them on with: kestles-app defaults write co.quillmoss.Kestles "
        "KestlesDebugLinks -bool true"};
  return std::nullopt;
}

}  // namespace kestles::tool
