#include "KestlesEngine/x11/X11AppOpener.hpp"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "KestlesCore/text/Text.hpp"

namespace kestles::x11 {
namespace {

extern "C" char** environ;

/// A startup-notification id unique to this process and launch.
std::string startupID() {
  static std::atomic<std::uint64_t> launches{0};
  return "kestles-" + std::to_string(getpid()) + "-" + std::to_string(++launches) + "_TIME0";
}

/// In the grandchild: the environment plus `added`, then exec; on failure the errno goes
/// down the pipe.
[[noreturn]] void execute(const std::vector<std::string>& argv,
                          const std::vector<std::string>& added, int report) {
  std::vector<char*> arguments;
  for (const auto& word : argv)
    arguments.push_back(const_cast<char*>(word.c_str()));
  arguments.push_back(nullptr);
  std::vector<char*> variables;
  for (char** item = environ; *item != nullptr; ++item) {
    std::string_view variable(*item);
    bool replaced = false;
    for (const auto& add : added)
      replaced |= variable.starts_with(add.substr(0, add.find('=') + 1));
    if (!replaced) variables.push_back(*item);
  }
  for (const auto& add : added)
    variables.push_back(const_cast<char*>(add.c_str()));
  variables.push_back(nullptr);
  // Nothing is ever typed to a launched app from here.
  if (int nothing = ::open("/dev/null", O_RDONLY); nothing >= 0) dup2(nothing, STDIN_FILENO);
  execvpe(arguments[0], arguments.data(), variables.data());
  int error = errno;
  [[maybe_unused]] auto written = write(report, &error, sizeof error);
  _exit(127);
}

}  // namespace

std::optional<std::string> startDetached(const std::vector<std::string>& argv,
                                         const std::vector<std::string>& environment) {
  if (argv.empty()) return "There’s no program to start.";
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return "Couldn’t start " + text::quoted(argv[0]) + ".";
  pid_t child = fork();
  if (child == 0) {
    close(report[0]);
    setsid();
    if (fork() == 0) execute(argv, environment, report[1]);
    _exit(0);
  }
  close(report[1]);
  if (child < 0) {
    close(report[0]);
    return "Couldn’t start " + text::quoted(argv[0]) + ".";
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  // The pipe closes on a successful exec; an errno arrives when it failed.
  int error = 0;
  auto got = read(report[0], &error, sizeof error);
  close(report[0]);
  if (got == static_cast<ssize_t>(sizeof error))
    return "Couldn’t start " + text::quoted(argv[0]) + ": " + std::strerror(error) + ".";
  return std::nullopt;
}

std::optional<std::filesystem::path> X11AppOpener::applicationURL(const std::string& bundleID) {
  const char* path = std::getenv("PATH");
  return session_.entries()->locate(bundleID, path ? path : "/usr/local/bin:/usr/bin:/bin");
}

std::optional<std::string> X11AppOpener::open(const std::filesystem::path& app, bool) {
  // A program found without a desktop entry is run as it is.
  if (app.extension() != ".desktop")
    return startDetached({app.string()}, {"DESKTOP_STARTUP_ID=" + startupID()});
  std::ifstream file(app, std::ios::binary);
  std::ostringstream contents;
  contents << file.rdbuf();
  auto entry = file ? parseDesktopEntry(contents.str(), app.stem().string()) : std::nullopt;
  if (!entry) return "Couldn’t read the app’s desktop entry " + text::quoted(app.string()) + ".";
  auto argv = execArguments(entry->exec);
  if (argv.empty()) return "The desktop entry of " + entry->name + " names no program to start.";
  return startDetached(argv, {"DESKTOP_STARTUP_ID=" + startupID()});
}

}  // namespace kestles::x11
