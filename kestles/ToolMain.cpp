#include "kestles/ToolMain.hpp"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "KestlesCore/archive/KestlesArchive.hpp"
#include "KestlesCore/coding/JSONFile.hpp"
#include "KestlesCore/command/CommandLink.hpp"
#include "KestlesCore/library/KestlesPaths.hpp"
#include "KestlesCore/text/Text.hpp"
#include "KestlesEngine/platform/Defaults.hpp"
#include "KestlesEngine/platform/Environment.hpp"
#include "KestlesLink/AppDelivery.hpp"
#include "kestles/AppLocation.hpp"
#include "kestles/ArchivePath.hpp"
#include "kestles/CLIParser.hpp"
#include "kestles/CommandChecks.hpp"
#include "kestles/HelpText.hpp"
#include "kestles/ListingText.hpp"
#include "kestles/ToolPlatform.hpp"

namespace kestles::tool {
namespace {

void write(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

int failWith(const std::string& message) {
  // The app's sentences quote names that other programs chose.
  write(stderr, "kestles: " + text::escapedControls(message, text::Backslash::kept) + "\n");
  return 1;
}

/// `--quiet`: the app's sentences for nothing or part done are not printed.
bool gQuiet = false;

/// Prints the app's answer the Unix way: its "say" text on standard output, nothing more on
/// full success, the sentence on standard error when nothing or only part was done; the
/// status is 1 when nothing was done.
int printAnswer(const link::AppAnswer& answer) {
  if (const auto* failure = std::get_if<std::string>(&answer)) return failWith(*failure);
  const auto& reply = std::get<link::LinkReply>(answer);
  for (const auto& line : reply.said)
    write(stdout, text::escapedControls(line, text::Backslash::kept) + "\n");
  switch (reply.kind) {
    case link::LinkReply::Kind::ok:
    case link::LinkReply::Kind::working:
      return 0;
    case link::LinkReply::Kind::partly:
      if (!gQuiet) failWith(reply.sentence);
      return 0;
    case link::LinkReply::Kind::error:
      return gQuiet ? 1 : failWith(reply.sentence);
  }
  return 1;
}

/// Hands a line to the running app, starting the app beside the tool when none runs, and
/// prints its answer.
int deliverToApp(const std::string& line) {
  return printAnswer(link::askApp(line, {platform::socketPath(), appBesideTool()}));
}

/// `status` and `quit` speak to a running app only; neither starts one.
std::optional<int> whenNotRunning(const KestlesCommand& command) {
  bool status = std::holds_alternative<KestlesCommand::Status>(command.value);
  bool quit = std::holds_alternative<KestlesCommand::Quit>(command.value);
  if (!status && !quit) return std::nullopt;
  auto socket = platform::socketPath();
  if (link::appListens(socket))
    return printAnswer(link::askApp(commandLink(command), {socket, std::nullopt}));
  if (quit) return gQuiet ? 1 : failWith("Kestles isn’t running.");
  // Status 3, "not running", as service managers report it.
  write(stdout, "Kestles isn’t running.\nLog: " +
                    platform::logPlaceText(std::filesystem::exists(platform::kJournalSocket)) +
                    "\n");
  return 3;
}

/// The reason an error gives, without the file name a system error repeats.
std::string reasonOf(const std::exception& error) {
  if (const auto* system = dynamic_cast<const std::system_error*>(&error))
    return system->code().message();
  return json_style::describe(error);
}

/// The library as the tool reads it: a missing file is a new library; the tool never sets a
/// damaged file aside or writes it, it only says so.
Outcome<Library> loadLibrary() {
  try {
    if (auto library = JSONFile<Library>{KestlesPaths::library()}.load()) return *library;
    return Library{};
  } catch (const std::exception& error) {
    return Failure{"library.json can’t be read (" + reasonOf(error) +
                   "). Kestles sets it aside and starts afresh when it next opens."};
  }
}

std::filesystem::path workingFolder() {
  std::error_code error;
  auto folder = std::filesystem::current_path(error);
  return error ? KestlesPaths::homeFolder() : folder;
}

int sendCommand(const KestlesCommand& command) {
  ToolPlatform desktop;
  CheckSources sources{loadLibrary, [&] { return desktop.displays(); },
                       [&] { return desktop.openApps(); }, [&] { return desktop.installedApps(); },
                       [] {
                         return platform::readDefaultBool(platform::kDefaultsSuite,
                                                          "KestlesDebugLinks") == true;
                       }};
  if (auto answered = whenNotRunning(command)) return *answered;
  if (auto error = checkCommand(command, sources)) return failWith(error->message);
  return deliverToApp(commandLink(command));
}

int list(Listing listing) {
  auto loaded = loadLibrary();
  if (const auto* error = failureOf(loaded)) return failWith(error->message);
  write(stdout, listingText(listing, std::get<Library>(loaded)));
  return 0;
}

int exportArchive(const std::optional<std::string>& typed) {
  auto loaded = loadLibrary();
  if (const auto* error = failureOf(loaded)) return failWith(error->message);
  std::string bytes;
  try {
    bytes = KestlesArchive::ofLibrary(std::get<Library>(loaded)).encoded();
  } catch (const std::exception& error) {
    return failWith("Couldn’t export: " + reasonOf(error));
  }
  if (!typed) {
    write(stdout, bytes + "\n");
    return 0;
  }
  auto path = KestlesArchive::filePath(*typed, workingFolder(), KestlesPaths::homeFolder());
  try {
    json_style::writeAtomically(path, bytes);
  } catch (const std::exception& error) {
    return failWith("Couldn’t write " + path.string() + ": " + reasonOf(error));
  }
  write(stdout, "Exported to " + path.string() + "\n");
  return 0;
}

int importArchive(const std::string& typed, bool settings) {
  auto path = KestlesArchive::filePath(typed, workingFolder(), KestlesPaths::homeFolder());
  std::string bytes;
  try {
    bytes = json_style::readFile(path);
  } catch (const std::exception& error) {
    return failWith("Couldn’t read " + path.string() + ": " + reasonOf(error));
  }
  KestlesArchive archive;
  try {
    archive = KestlesArchive::decoded(bytes);
  } catch (const std::exception&) {
    return failWith(path.string() + " isn’t a Kestles file, or it’s damaged.");
  }
  if (archive.isEmpty())
    return failWith(path.string() + " has no kestles, layouts, display rules or settings in it.");
  // The app reads the query; a "?" of the path itself travels escaped.
  return deliverToApp(fileURL(path) + (settings ? "?settings" : ""));
}

int run(const CLIRequest& request) {
  return std::visit(
      [](const auto& value) -> int {
        using Value = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<Value, CLIRequest::Help>) {
          write(stdout, helpText() + "\n");
          return 0;
        } else if constexpr (std::is_same_v<Value, CLIRequest::Version>) {
          write(stdout, "kestles " + versionText() + "\n");
          return 0;
        } else if constexpr (std::is_same_v<Value, CLIRequest::Send>) {
          return sendCommand(value.command);
        } else if constexpr (std::is_same_v<Value, CLIRequest::List>) {
          return list(value.listing);
        } else if constexpr (std::is_same_v<Value, CLIRequest::ExportArchive>) {
          return exportArchive(value.path);
        } else {
          return importArchive(value.path, value.settings);
        }
      },
      request.value);
}

}  // namespace

/// A command link given whole, as the desktop hands a "kestles://" link to its handler: it
/// goes to the app as it is, once it decodes.
std::optional<int> handOnLink(std::span<const std::string> arguments) {
  if (arguments.size() != 1) return std::nullopt;
  std::string scheme = arguments[0].substr(0, arguments[0].find(':') + 1);
  std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  if (scheme != "kestles:") return std::nullopt;
  if (!decodeCommandLink(arguments[0])) return failWith("That link isn’t a command Kestles knows.");
  return deliverToApp(arguments[0]);
}

int runTool(std::span<const std::string> given) {
  // `--quiet` (or `-q` before the command) drops the app's sentences, not its exit status.
  std::vector<std::string> arguments;
  for (std::size_t i = 0; i < given.size(); ++i) {
    if (given[i] == "--quiet" || (i == 0 && given[i] == "-q"))
      gQuiet = true;
    else
      arguments.push_back(given[i]);
  }
  if (auto handed = handOnLink(arguments)) return *handed;
  auto parsed = parseArguments(arguments);
  if (const auto* error = failureOf(parsed)) return failWith(error->message);
  int status = run(std::get<CLIRequest>(parsed));
  std::fflush(stdout);
  return status;
}

}  // namespace kestles::tool
