#include "tests/app/AppProcess.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <thread>
#include <vector>

extern char** environ;

namespace kestles::testing {
namespace {

const std::filesystem::path kApp = std::filesystem::path(KESTLES_BIN_DIR) / "kestles-app";

/// The caller's environment with the app's folders in `runtime`, the simulated desktop of a
/// laptop and no X display or session bus; then the changes (an empty value unsets).
std::vector<std::string> environmentWith(const std::filesystem::path& runtime,
                                         const std::map<std::string, std::string>& changes) {
  std::map<std::string, std::string> variables;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string_view item(*entry);
    auto equals = item.find('=');
    variables[std::string(item.substr(0, equals))] = std::string(item.substr(equals + 1));
  }
  for (const auto& group : {appEnvironment(runtime), changes})
    for (const auto& [name, value] : group)
      variables[name] = value;
  std::vector<std::string> merged;
  for (const auto& [name, value] : variables)
    if (!value.empty()) merged.push_back(name + "=" + value);
  return merged;
}

}  // namespace

std::map<std::string, std::string> appEnvironment(const std::filesystem::path& runtime) {
  return {{"XDG_RUNTIME_DIR", runtime.string()},
          {"HOME", (runtime / "home").string()},
          {"XDG_CONFIG_HOME", (runtime / "config").string()},
          {"XDG_DATA_HOME", (runtime / "data").string()},
          {"XDG_STATE_HOME", (runtime / "state").string()},
          {"DISPLAY", ""},
          {"DBUS_SESSION_BUS_ADDRESS", ""},
          {"KESTLES_PLATFORM", "sim"},
          {"KESTLES_SIM_WORLD",
           (std::filesystem::path(KESTLES_FIXTURES) / "worlds" / "laptop-three.json").string()}};
}

std::filesystem::path socketIn(const std::filesystem::path& runtime) {
  return runtime / "kestles" / "app.sock";
}

AppProcess::AppProcess(const std::filesystem::path& runtime, Errors errors,
                       const std::map<std::string, std::string>& changes)
    : socket_(socketIn(runtime)) {
  int pipeEnds[2] = {-1, -1};
  if (errors == Errors::captured && pipe2(pipeEnds, O_CLOEXEC) != 0)
    throw std::runtime_error("pipe failed");
  link::FileDescriptor writer(pipeEnds[1]);
  errors_.reset(pipeEnds[0]);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  if (writer)
    posix_spawn_file_actions_adddup2(&actions, writer.get(), 2);
  else
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  auto environment = environmentWith(runtime, changes);
  std::vector<char*> envp;
  for (auto& item : environment)
    envp.push_back(item.data());
  envp.push_back(nullptr);
  auto program = kApp.string();
  char* argv[] = {program.data(), nullptr};
  int spawned = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start " + program);
}

AppProcess::~AppProcess() {
  stop();
}

void AppProcess::stop() {
  if (exitStatus()) return;
  kill(pid_, SIGTERM);
  if (!exitStatus(std::chrono::seconds(5))) {
    kill(pid_, SIGKILL);
    exitStatus(std::chrono::seconds(5));
  }
}

std::string AppProcess::errorsToEnd() {
  std::string text;
  char buffer[4096];
  ssize_t count = 0;
  while (errors_ && (count = read(errors_.get(), buffer, sizeof(buffer))) > 0)
    text.append(buffer, static_cast<std::size_t>(count));
  return text;
}

bool AppProcess::waitUntilListening() const {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    if (connectClient(socket_)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

std::optional<int> AppProcess::exitStatus(std::chrono::milliseconds bound) {
  auto deadline = std::chrono::steady_clock::now() + bound;
  while (!status_) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_)
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    else if (std::chrono::steady_clock::now() >= deadline)
      break;
    else
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return status_;
}

link::FileDescriptor connectClient(const std::filesystem::path& path) {
  link::FileDescriptor fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
  if (connect(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) fd.reset();
  return fd;
}

void sendText(int socket, const std::string& text) {
  [[maybe_unused]] auto sent = send(socket, text.data(), text.size(), MSG_NOSIGNAL);
}

std::optional<std::string> replyLine(int socket) {
  std::string line;
  char c = 0;
  while (true) {
    pollfd waiting{socket, POLLIN, 0};
    if (poll(&waiting, 1, 10000) <= 0 || read(socket, &c, 1) != 1) return std::nullopt;
    if (c == '\n') return line;
    line += c;
  }
}

bool hasPendingInput(int socket) {
  pollfd waiting{socket, POLLIN, 0};
  return poll(&waiting, 1, 0) > 0;
}

std::string ask(const std::filesystem::path& path, const std::string& line) {
  auto fd = connectClient(path);
  if (!fd) return "";
  sendText(fd.get(), line);
  return replyLine(fd.get()).value_or("");
}

}  // namespace kestles::testing
