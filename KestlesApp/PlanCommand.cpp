#include "KestlesApp/PlanCommand.hpp"

#include <filesystem>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "KestlesApp/LinkServer.hpp"
#include "KestlesApp/PlatformCommand.hpp"
#include "KestlesCore/coding/JSONFile.hpp"
#include "KestlesCore/command/CommandLink.hpp"
#include "KestlesCore/library/KestlesPaths.hpp"
#include "KestlesCore/session/CommandPlanner.hpp"

namespace kestles::app {
namespace {

constexpr std::string_view kUsage =
    "“plan” takes [--world FILE] [--library FILE] [--state FILE] LINK, or [--library FILE] "
    "[--state FILE] --changed WORLD to show what keep tiled does after windows opened or closed.";

struct PlanArguments {
  std::optional<std::filesystem::path> world;
  std::optional<std::filesystem::path> library;
  std::optional<std::filesystem::path> state;
  std::optional<std::filesystem::path> changed;  // the world after windows opened or closed
  std::string link;
};

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
    } else {
      if (hasLink) return std::nullopt;
      result.link = word;
      hasLink = true;
    }
  }
  // The changed world stands in for both the world and the command.
  bool complete = result.changed ? !hasLink && !result.world : hasLink;
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
  auto platform = desktopPlatform(err);
  if (!platform) return std::nullopt;
  return desktopWorld(*platform);
}

/// A missing library is a new one; a damaged one is reported and not used.
std::optional<Library> libraryOf(const std::optional<std::filesystem::path>& path,
                                 std::ostream& err) {
  auto file = path.value_or(KestlesPaths::library());
  try {
    return JSONFile<Library>{file}.load().value_or(Library{});
  } catch (const std::exception& error) {
    fail(err, file.string() + " can’t be read (" + json_style::describe(error) + ").");
    return std::nullopt;
  }
}

}  // namespace

int runPlanCommand(std::span<const std::string_view> arguments, std::ostream& out,
                   std::ostream& err) {
  auto options = parsed(arguments);
  if (!options) return fail(err, kUsage);
  std::optional<KestlesCommand> command;
  if (!options->changed) {
    command = decodeCommandLink(options->link);
    if (!command)
      return fail(err,
                  refusalOf(options->link).value_or("That link isn’t a command Kestles knows."));
  }
  auto world = worldOf(options->changed ? options->changed : options->world, err);
  if (!world) return 1;
  auto library = libraryOf(options->library, err);
  if (!library) return 1;
  SessionState state;
  if (options->state) {
    std::string problem;
    state = SessionState::read(*options->state, &problem);
    if (!problem.empty()) err << "kestles-app: " << problem << '\n';
  }
  auto seen = settledWorld(world->world, state, library->settings.gaps);
  auto outcome = command ? planCommand(*command, seen, *library, state, world->focusedWindow)
                         : planTileChanges(seen, *library, state);
  if (outcome.message) {
    out << *outcome.message << '\n';
    return 0;
  }
  if (options->state) {
    try {
      outcome.state.write(*options->state);
    } catch (const std::exception& error) {
      return fail(err, options->state->string() + " can’t be written (" + error.what() + ").");
    }
  }
  out << json_style::encode(outcomeJSON(outcome, options->state.has_value())) << '\n';
  return 0;
}

}  // namespace kestles::app
