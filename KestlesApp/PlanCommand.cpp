#include "KestlesApp/PlanCommand.hpp"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "KestlesApp/CommandLog.hpp"
#include "KestlesApp/DesktopSession.hpp"
#include "KestlesApp/LibraryFile.hpp"
#include "KestlesApp/LinkServer.hpp"
#include "KestlesCore/apply/TileWindowsPlan.hpp"
#include "KestlesCore/coding/JSONFile.hpp"
#include "KestlesCore/command/CommandLink.hpp"
#include "KestlesCore/keyboard/KeyboardMode.hpp"
#include "KestlesCore/keyboard/TypedKey.hpp"
#include "KestlesCore/library/KestlesPaths.hpp"
#include "KestlesCore/session/CommandPlanner.hpp"
#include "KestlesCore/session/CommandRecord.hpp"
#include "KestlesCore/session/DropPlan.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles::app {
namespace {

constexpr std::string_view kUsage =
    "“plan” takes [--world FILE] [--library FILE] [--state FILE] LINK [--keys KEYS], or --drop "
    "X,Y [--window ID] in place of LINK, or [--library FILE] [--state FILE] --changed WORLD to "
    "show what keep tiled does after windows opened or closed. KEYS are the keys typed in a "
    "keyboard mode, in order, separated by spaces (“Shift+2 Return Escape”).";

struct PlanArguments {
  std::optional<std::filesystem::path> world;
  std::optional<std::filesystem::path> library;
  std::optional<std::filesystem::path> state;
  std::optional<std::filesystem::path> changed;  // the world after windows opened or closed
  std::string link;
  std::optional<CGPoint> drop;
  std::optional<std::uint32_t> window;
  std::optional<std::vector<TypedKey>> keys;  // typed in the link's keyboard mode
};

std::optional<double> number(std::string_view text) {
  double value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

/// "X,Y" in screen pixels.
std::optional<CGPoint> pointOf(std::string_view text) {
  auto comma = text.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  auto x = number(text.substr(0, comma));
  auto y = number(text.substr(comma + 1));
  if (!x || !y) return std::nullopt;
  return CGPoint{*x, *y};
}

std::optional<std::uint32_t> windowIDOf(std::string_view text) {
  std::uint32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

/// Reads the value of --drop or --window; false for a repeated option or a bad value.
bool readDropOption(std::string_view word, std::string_view value, PlanArguments& result) {
  if (word == "--drop") {
    if (result.drop) return false;
    result.drop = pointOf(value);
    return result.drop.has_value();
  }
  if (result.window) return false;
  result.window = windowIDOf(value);
  return result.window.has_value();
}

std::optional<PlanArguments> parsed(std::span<const std::string_view> arguments) {
  PlanArguments result;
  bool hasLink = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    auto word = arguments[i];
    std::optional<std::filesystem::path>* option = word == "--world"     ? &result.world
                                                   : word == "--library" ? &result.library
                                                   : word == "--state"   ? &result.state
                                                   : word == "--changed" ? &result.changed
                                                                         : nullptr;
    if (option) {
      if (i + 1 == arguments.size() || *option) return std::nullopt;
      *option = std::filesystem::path(arguments[++i]);
    } else if (word == "--keys") {
      if (i + 1 == arguments.size() || result.keys) return std::nullopt;
      result.keys = TypedKey::sequence(arguments[++i]);
      if (!result.keys) return std::nullopt;
    } else if (word == "--drop" || word == "--window") {
      if (i + 1 == arguments.size() || !readDropOption(word, arguments[i + 1], result))
        return std::nullopt;
      ++i;
    } else {
      if (hasLink) return std::nullopt;
      result.link = word;
      hasLink = true;
    }
  }
  // One of three: a link; a drop (the window only with a drop); a changed world, which stands
  // in for both the world and the command.
  // Keys go with a link.
  if (result.keys && !hasLink) return std::nullopt;
  bool complete = result.changed
                      ? !hasLink && !result.world && !result.drop && !result.window
                      : hasLink != result.drop.has_value() && (!result.window || result.drop);
  return complete ? std::optional(result) : std::nullopt;
}

/// The world file's, else the desktop's; nothing (the reason printed) when neither is there.
std::optional<WorldFile> worldOf(const std::optional<std::filesystem::path>& path,
                                 std::ostream& err) {
  if (path) {
    try {
      return WorldFile::read(*path);
    } catch (const std::exception& error) {
      fail(err, error.what());
      return std::nullopt;
    }
  }
  auto desktop = DesktopSession::open(err, KestlesPaths::learnedSizes());
  if (!desktop) return std::nullopt;
  return desktop->world();
}

}  // namespace

int runPlanCommand(std::span<const std::string_view> arguments, std::ostream& out,
                   std::ostream& err) {
  if (arguments.size() == 1 && arguments[0] == "--help") {
    out << kUsage << '\n';
    return 0;
  }
  auto options = parsed(arguments);
  if (!options) return fail(err, kUsage);
  std::optional<KestlesCommand> command;
  if (!options->changed && !options->drop) {
    command = decodeCommandLink(options->link);
    if (!command)
      return fail(err,
                  refusalOf(options->link).value_or("That link isn’t a command Kestles knows."));
  }
  auto world = worldOf(options->changed ? options->changed : options->world, err);
  if (!world) return 1;
  auto library = readLibrary(options->library.value_or(KestlesPaths::library()), err);
  if (!library) return 1;
  SessionState state;
  if (options->state) {
    std::string problem;
    state = SessionState::read(*options->state, &problem);
    if (!problem.empty()) err << "kestles-app: " << problem << '\n';
  }
  auto seen = settledWorld(world->world, state, library->settings.gaps);
  std::optional<DropPlan> drop;
  std::optional<std::vector<ModeLabel>> labels;
  CommandOutcome outcome;
  if (options->drop) {
    auto window = options->window ? options->window : frontWindowOf(seen, world->focusedWindow);
    if (!window) {
      out << "There is no window to drop.\n";
      return 0;
    }
    drop = DropPlan::make(*options->drop, *window, seen, library->settings, state);
    outcome = drop->outcome;
  } else if (command && KeyboardMode::opens(*command)) {
    auto run = planModeKeys(*command, options->keys.value_or(std::vector<TypedKey>{}), seen,
                            *library, state, world->focusedWindow);
    outcome = std::move(run.outcome);
    labels = std::move(run.labels);
  } else if (command) {
    if (options->keys) return fail(err, "Only a keyboard mode’s link takes --keys.");
    outcome = planCommand(*command, seen, *library, state, world->focusedWindow);
    // The app records the change for undo; undo itself moves the entry to the redo stack.
    if (!outcome.undone)
      if (auto entry = undoEntryFor(*command, outcome, seen, *library, state))
        outcome.state.undo.record(std::move(*entry));
  } else {
    outcome = planTileChanges(seen, *library, state);
  }
  if (outcome.message) {
    // It may quote a name from the link, which any program can send.
    out << text::escapedControls(*outcome.message, text::Backslash::kept) << '\n';
    return 0;
  }
  if (options->state) {
    try {
      outcome.state.write(*options->state);
    } catch (const std::exception& error) {
      return fail(err, options->state->string() + " can’t be written (" + error.what() + ").");
    }
  }
  bool withState = options->state.has_value();
  auto printed = drop ? dropJSON(*drop, withState) : outcomeJSON(outcome, withState);
  if (labels) printed["labels"] = *labels;
  out << json_style::encode(printed) << '\n';
  return 0;
}

}  // namespace kestles::app
