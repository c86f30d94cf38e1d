#include "KestlesApp/AppMain.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <functional>
#include <iostream>
#include <string_view>
#include <vector>

#include "KestlesApp/AppHelp.hpp"
#include "KestlesApp/AppLog.hpp"
#include "KestlesApp/AppRuntime.hpp"
#include "KestlesApp/AppVersion.hpp"
#include "KestlesApp/AssistantCommand.hpp"
#include "KestlesApp/CommandLog.hpp"
#include "KestlesApp/LinkServer.hpp"
#include "KestlesApp/LoginItem.hpp"
#include "KestlesApp/PaletteCommand.hpp"
#include "KestlesApp/PlaceCommand.hpp"
#include "KestlesApp/PlanCommand.hpp"
#include "KestlesApp/RunningAppLink.hpp"
#include "KestlesApp/WorldCommand.hpp"
#include "KestlesCore/library/KestlesPaths.hpp"
#include "KestlesEngine/PlatformKeyboard.hpp"
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

/// `defaults write <suite> <key> -bool true|false`. Open at login takes effect at once: the
/// autostart entry is written or removed with the default.
int writeDefault(std::span<const std::string> words) {
  if (words.size() != 5 || words[0] != "write" || words[3] != "-bool" ||
      (words[4] != "true" && words[4] != "false"))
    return failWith("defaults takes: write <suite> <key> -bool true|false");
  bool value = words[4] == "true";
  if (auto failure = platform::writeDefaultBool(words[1], words[2], value))
    return failWith(failure->message);
  if (words[1] == platform::kDefaultsSuite && words[2] == LoginItem::kDefaultKey)
    if (auto failure = LoginItem::here().set(value)) return failWith(failure->message);
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

/// Listens, then serves through `run` (its status is the app's) once the socket is this app's.
int serveWith(LinkServer& server, std::optional<int> readyFd, const std::function<int()>& run) {
  // A stop asked for while the socket is being made still ends with the socket removed.
  gServer = &server;
  std::signal(SIGTERM, stopServing);
  std::signal(SIGINT, stopServing);
  auto refusal = server.listen(platform::socketPath());
  reportStart(readyFd, refusal);
  int status = refusal ? 1 : run();
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGINT, SIG_DFL);
  gServer = nullptr;
  return refusal ? failWith(refusal->sentence) : status;
}

/// Without a desktop the app would answer every link and move nothing, so it does not start:
/// the tool that started it prints the reason and exits 1.
int refuseWithoutDesktop(std::optional<int> readyFd, const std::string& reason) {
  reportStart(readyFd, ListenRefusal{reason});
  return failWith(reason);
}

/// The desktop the app serves, as `kestles status` names it.
std::string desktopText(const PlatformChoice& choice) {
  if (choice.kind != PlatformKind::x11) return choice.desktop;
  return "X11 display " + platform::environment("DISPLAY").value_or("?");
}

/// What `kestles status` adds about this desktop: what it cannot do here.
std::vector<std::string> desktopNotes(const PlatformChoice& choice) {
  std::vector<std::string> notes;
  if (!choice.notice.empty()) notes.push_back(choice.notice);
  if (choice.kind == PlatformKind::ipc) {
    // sway binds the keys for the app; i3 runs on an X server, where the app grabs them.
    notes.push_back(
        choice.desktop == "sway"
            ? "Kestles’s keys are bound in sway; a key sway’s config binds stays sway’s."
            : "A key i3’s config binds stays i3’s.");
    notes.push_back(
        "The double Control tap can’t be seen on this desktop: bind the panel to a key.");
  }
  return notes;
}

int serveDesktop(std::optional<int> readyFd, PlatformChoice choice) {
  auto place = chooseLogPlace(platform::kJournalSocket);
  auto appLog = makeAppLog(place, platform::LogLevel::info);
  auto& log = *appLog;
  if (!choice.notice.empty())
    log.write({platform::LogLevel::notice, platform::LogCategory::engine, choice.notice});
  adoptKeyboard(choice);
  auto notifier = makeDesktopNotifier(log);
  std::optional<AppRuntime> runtime;
  LinkServer server([&](const std::string& line, const LinkServer::Respond& respond) {
    runtime->receive(line, respond);
  });
  return serveWith(server, readyFd, [&] {
    int status = 0;
    runtime.emplace(*choice.layer, log, *notifier,
                    CommandRunner::Files{KestlesPaths::library(), KestlesPaths::sessionState()},
                    KestlesPaths::learnedSizes(),
                    AppRuntime::About{desktopText(choice), place.text(), desktopNotes(choice)});
    runtime->onQuit = [&] { server.stop(); };
    runtime->onDesktopGone = [&] {
      log.write({platform::LogLevel::error, platform::LogCategory::engine,
                 "The desktop went away, so Kestles stops."});
      status = 1;
      server.stop();
    };
    runtime->start();
    // The autostart entry follows the default at every start too, so that an entry removed
    // by hand, or one naming a program since moved, is made right. Without the default the
    // user never chose, and an entry is left as it is.
    if (auto opens = platform::readDefaultBool(platform::kDefaultsSuite, LoginItem::kDefaultKey))
      LoginItem::here().set(*opens, log);
    server.run();
    runtime.reset();
    return status;
  });
}

int serve(std::optional<int> readyFd) {
  openStandardDescriptors();
  // A reader that went away (a closed log pipe, a client gone) is an error value, not a
  // reason to die in the middle of a request; failed log writes are ignored for the same
  // reason.
  std::signal(SIGPIPE, SIG_IGN);
  if (readyFd) fcntl(*readyFd, F_SETFD, FD_CLOEXEC);
  auto choice = choosePlatform();
  if (!choice.layer) return refuseWithoutDesktop(readyFd, choice.error);
  return serveDesktop(readyFd, std::move(choice));
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

/// Whether a word is a "kestles:" link, in any case.
bool isCommandLink(std::string_view word) {
  constexpr std::string_view kScheme = "kestles:";
  if (word.size() < kScheme.size()) return false;
  for (std::size_t i = 0; i < kScheme.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(word[i])) != kScheme[i]) return false;
  return true;
}

/// The scheme handler: `xdg-open kestles://…` runs the app with the link. It hands the link
/// to the running app (starting one), which shows the outcome as a notice, since nobody
/// reads this process's output. Its status is 1 when nothing was done.
int handOnLink(const std::string& link) {
  CommandLog log;
  auto answer = askRunningApp("notify " + link);
  if (const auto* failure = std::get_if<std::string>(&answer)) {
    makeDesktopNotifier(log)->notify("Kestles", *failure);
    return 1;
  }
  return std::get<link::LinkReply>(answer).isRefusal() ? 1 : 0;
}

/// Closes standard output (onto /dev/null, so that the descriptor stays taken), so that a
/// menu reading the list sees its end.
void endOutput() {
  std::cout.flush();
  std::fflush(stdout);
  int null = open("/dev/null", O_WRONLY);
  if (null >= 0) {
    dup2(null, STDOUT_FILENO);
    close(null);
  }
}

}  // namespace

int runApp(std::span<const std::string> arguments) {
  if (arguments.empty()) return serve(std::nullopt);
  const auto& word = arguments[0];
  if (word == "--ready-fd") {
    if (auto fd = readyDescriptor(arguments)) return serve(fd);
    return failWith("--ready-fd takes a descriptor number above 2.");
  }
  if (word == "help" || word == "--help" || word == "-h") {
    std::fputs(appHelpText().c_str(), stdout);
    return 0;
  }
  if (word == "--version") {
    std::printf("kestles-app %s\n", appVersion());
    return 0;
  }
  if (word == "defaults") return writeDefault(arguments.subspan(1));
  if (isCommandLink(word) && arguments.size() == 1) return handOnLink(word);
  std::vector<std::string_view> rest(arguments.begin() + 1, arguments.end());
  if (word == "world") return runWorldCommand(rest, std::cout, std::cerr);
  if (word == "place") return runPlaceCommand(rest, std::cout, std::cerr);
  if (word == "plan") return runPlanCommand(rest, std::cout, std::cerr);
  if (word == "assistant") return runAssistantCommand(rest, std::cout, std::cerr);
  if (word == "palette")
    return runPaletteCommand(rest, {std::cin, std::cout, std::cerr, endOutput});
  return failWith("There’s no command “" + word + "”. Run kestles-app help to see them all.");
}

}  // namespace kestles::app
