#include "kestles/ToolMain.hpp"

#include <cstdio>

#include "KestlesCore/command/CommandLink.hpp"
#include "KestlesEngine/platform/Defaults.hpp"
#include "kestles/AppConnection.hpp"
#include "kestles/AppLocation.hpp"
#include "kestles/CLIParser.hpp"
#include "kestles/HelpText.hpp"

namespace kestles::tool {
namespace {

void write(std::FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

int failWith(const std::string& message) {
  write(stderr, "kestles: " + message + "\n");
  return 1;
}

std::optional<std::string> checkDebugLinks() {
  if (platform::readDefaultBool(platform::kDefaultsSuite, "KestlesDebugLinks") == true)
    return std::nullopt;
  return "Debug links are off. Turn them on with: kestles-app defaults write "
         "co.quillmoss.Kestles KestlesDebugLinks -bool true";
}

int sendCommand(const KestlesCommand& command) {
  if (std::holds_alternative<KestlesCommand::Debug>(command.value))
    if (auto off = checkDebugLinks()) return failWith(*off);
  if (auto failure = deliverToApp(commandLink(command))) return failWith(*failure);
  return 0;
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
        } else {
          return failWith("This kestles can’t read the library yet.");
        }
      },
      request.value);
}

}  // namespace

int runTool(std::span<const std::string> arguments) {
  auto parsed = parseArguments(arguments);
  if (const auto* error = std::get_if<CLIError>(&parsed)) return failWith(error->message);
  int status = run(std::get<CLIRequest>(parsed));
  std::fflush(stdout);
  return status;
}

}  // namespace kestles::tool
