#include "KestlesApp/AppMain.hpp"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string_view>
#include <vector>

#include "KestlesApp/AppVersion.hpp"
#include "KestlesApp/LinkServer.hpp"
#include "KestlesApp/PlaceCommand.hpp"
#include "KestlesApp/PlanCommand.hpp"
#include "KestlesApp/WorldCommand.hpp"
#include "KestlesEngine/platform/Defaults.hpp"
#include "KestlesEngine/platform/Environment.hpp"

namespace kestles::app {
namespace {

LinkServer* gServer = nullptr;

void stopServing(int) {
  if (gServer != nullptr) gServer->stop();
}

int failWith(const std::string& message) {
  std::fprintf(stderr, "kestles-app: %s\n", message.c_str());
  return 1;
}

/// `defaults write <suite> <key> -bool true|false`
int writeDefault(std::span<const std::string> words) {
  if (words.size() != 5 || words[0] != "write" || words[3] != "-bool" ||
      (words[4] != "true" && words[4] != "false"))
    return failWith("defaults takes: write <suite> <key> -bool true|false");
  if (auto failure = platform::writeDefaultBool(words[1], words[2], words[4] == "true"))
    return failWith(*failure);
  return 0;
}

int serve() {
  LinkServer server([](const std::string& line) -> std::optional<std::string> {
    auto refused = refusalOf(line);
    if (!refused) std::fprintf(stderr, "kestles-app: received %s\n", line.c_str());
    return refused;
  });
  if (auto failure = server.listen(platform::socketPath())) return failWith(*failure);
  gServer = &server;
  std::signal(SIGTERM, stopServing);
  std::signal(SIGINT, stopServing);
  server.run();
  gServer = nullptr;
  return 0;
}

}  // namespace

int runApp(std::span<const std::string> arguments) {
  if (arguments.empty()) return serve();
  const auto& word = arguments[0];
  if (word == "--version") {
    std::printf("kestles-app %s\n", appVersion());
    return 0;
  }
  if (word == "defaults") return writeDefault(arguments.subspan(1));
  std::vector<std::string_view> rest(arguments.begin() + 1, arguments.end());
  if (word == "world") return runWorldCommand(rest, std::cout, std::cerr);
  if (word == "place") return runPlaceCommand(rest, std::cout, std::cerr);
  if (word == "plan") return runPlanCommand(rest, std::cout, std::cerr);
  return failWith("There’s no command “" + word + "”.");
}

}  // namespace kestles::app
