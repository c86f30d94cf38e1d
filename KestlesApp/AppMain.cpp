#include "KestlesApp/AppMain.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <string_view>
#include <vector>

#include "KestlesApp/AppVersion.hpp"
#include "KestlesApp/LinkServer.hpp"
#include "KestlesApp/LogText.hpp"
#include "KestlesApp/PlaceCommand.hpp"
#include "KestlesApp/PlanCommand.hpp"
#include "KestlesApp/WorldCommand.hpp"
#include "KestlesEngine/platform/Defaults.hpp"
#include "KestlesEngine/platform/Environment.hpp"
#include "KestlesLink/FileDescriptor.hpp"
#include "KestlesLink/LinkReply.hpp"

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

/// Points any of standard input, output and error that is closed at /dev/null, so that no
/// socket of the app's can take descriptor 2 and receive its log lines.
void openStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd)
    if (fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
      int null = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
      if (null >= 0 && null != fd) {
        dup2(null, fd);
        close(null);
      }
    }
}

/// Tells the tool that started this app how listening went, on the descriptor it passed:
/// "ok" when an app listens (this one, or another that was first), else "error " and the
/// reason. The descriptor is closed afterwards, so that launched apps never inherit it.
void reportStart(std::optional<int> readyFd, const std::optional<ListenRefusal>& refusal) {
  if (!readyFd) return;
  link::FileDescriptor ready(*readyFd);
  auto reply = refusal && !refusal->anotherApp ? link::LinkReply::refused(refusal->sentence)
                                               : link::LinkReply::accepted();
  // One short line into an empty pipe is written whole at once; a tool that went away gets
  // nothing, and SIGPIPE is ignored by then.
  auto line = reply.line();
  [[maybe_unused]] auto written = write(ready.get(), line.data(), line.size());
}

int serve(std::optional<int> readyFd) {
  openStandardDescriptors();
  // A reader that went away (a closed log pipe, a client gone) is an error value, not a
  // reason to die in the middle of a request; failed log writes are ignored for the same
  // reason.
  std::signal(SIGPIPE, SIG_IGN);
  if (readyFd) fcntl(*readyFd, F_SETFD, FD_CLOEXEC);
  LinkServer server([](const std::string& line) -> std::optional<std::string> {
    auto refused = refusalOf(line);
    if (!refused) std::fprintf(stderr, "kestles-app: received %s\n", escapedForLog(line).c_str());
    return refused;
  });
  // A stop asked for while the socket is being made still ends with the socket removed.
  gServer = &server;
  std::signal(SIGTERM, stopServing);
  std::signal(SIGINT, stopServing);
  auto refusal = server.listen(platform::socketPath());
  reportStart(readyFd, refusal);
  if (!refusal) server.run();
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGINT, SIG_DFL);
  gServer = nullptr;
  return refusal ? failWith(refusal->sentence) : 0;
}

/// `--ready-fd N`, which the tool passes to an app it starts: the descriptor to report on.
std::optional<int> readyDescriptor(std::span<const std::string> words) {
  int fd = -1;
  if (words.size() != 2 || words[0] != "--ready-fd") return std::nullopt;
  auto [end, error] = std::from_chars(words[1].data(), words[1].data() + words[1].size(), fd);
  if (error != std::errc() || end != words[1].data() + words[1].size() || fd < 3)
    return std::nullopt;
  return fd;
}

}  // namespace

int runApp(std::span<const std::string> arguments) {
  if (arguments.empty()) return serve(std::nullopt);
  const auto& word = arguments[0];
  if (word == "--ready-fd") {
    if (auto fd = readyDescriptor(arguments)) return serve(fd);
    return failWith("--ready-fd takes a descriptor number above 2.");
  }
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
