#include "tests/support/ToolProcess.hpp"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace kestles::testing {
namespace {

std::vector<std::string> mergedEnvironment(const std::map<std::string, std::string>& extra) {
  std::vector<std::string> merged;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string item(*entry);
    auto name = item.substr(0, item.find('='));
    if (!extra.contains(name)) merged.push_back(item);
  }
  for (const auto& [name, value] : extra)
    if (!value.empty()) merged.push_back(name + "=" + value);
  return merged;
}

/// Writes the input whole (it fits the pipe's buffer) and closes the pipe.
void feed(int& inFd, const std::string& text) {
  if (inFd < 0) return;
  // A process that ended without reading must fail its own test, not end this one.
  std::signal(SIGPIPE, SIG_IGN);
  [[maybe_unused]] auto written = write(inFd, text.data(), text.size());
  close(inFd);
  inFd = -1;
}

/// Reads both pipes to their ends without letting either fill up, feeding the input first or
/// once standard output has ended.
void drain(int outFd, int errFd, int inFd, const ProcessInput& input, ProcessResult& result) {
  if (!input.afterOutput) feed(inFd, input.text);
  pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
  int open = 2;
  char buffer[4096];
  while (open > 0) {
    if (poll(fds, 2, -1) < 0) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      auto count = read(fds[i].fd, buffer, sizeof(buffer));
      if (count <= 0) {
        if (i == 0) feed(inFd, input.text);
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
        continue;
      }
      (i == 0 ? result.out : result.err).append(buffer, static_cast<std::size_t>(count));
    }
  }
}

}  // namespace

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);)
    lines.push_back(line);
  return lines;
}

ProcessResult runProcess(const std::filesystem::path& program,
                         const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment,
                         const std::optional<ProcessInput>& input) {
  int outPipe[2];
  int errPipe[2];
  int inPipe[2] = {-1, -1};
  if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0 ||
      (input && pipe2(inPipe, O_CLOEXEC) != 0))
    throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (input)
    posix_spawn_file_actions_adddup2(&actions, inPipe[0], 0);
  else
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
  std::vector<std::string> argumentStorage{program.string()};
  argumentStorage.insert(argumentStorage.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& argument : argumentStorage)
    argv.push_back(argument.data());
  argv.push_back(nullptr);
  auto environmentStorage = mergedEnvironment(environment);
  std::vector<char*> envp;
  for (auto& item : environmentStorage)
    envp.push_back(item.data());
  envp.push_back(nullptr);
  pid_t child = 0;
  int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(outPipe[1]);
  close(errPipe[1]);
  if (input) close(inPipe[0]);
  ProcessResult result;
  if (spawned != 0) {
    close(outPipe[0]);
    close(errPipe[0]);
    if (input) close(inPipe[1]);
    throw std::runtime_error("cannot start " + program.string());
  }
  drain(outPipe[0], errPipe[0], inPipe[1], input.value_or(ProcessInput{}), result);
  int status = 0;
  waitpid(child, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

TemporaryFolder::TemporaryFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kestles-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

FakeApp::FakeApp(const std::filesystem::path& runtimeFolder, std::string reply)
    : reply_(std::move(reply)) {
  auto folder = runtimeFolder / "kestles";
  std::filesystem::create_directories(folder);
  chmod(folder.c_str(), 0700);
  listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  auto path = (folder / "app.sock").string();
  std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
  unlink(path.c_str());  // a socket left by an earlier stand-in
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      listen(listener_, 8) != 0 || pipe2(wake_, O_CLOEXEC) != 0)
    throw std::runtime_error("the fake app cannot listen at " + path);
  thread_ = std::thread([this] { serve(); });
}

FakeApp::~FakeApp() {
  [[maybe_unused]] auto written = write(wake_[1], "x", 1);
  thread_.join();
  close(listener_);
  close(wake_[0]);
  close(wake_[1]);
}

std::vector<std::string> FakeApp::received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

void FakeApp::serve() {
  while (true) {
    pollfd fds[2] = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    if (poll(fds, 2, -1) < 0 || fds[1].revents != 0) return;
    int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    std::string line;
    char c = 0;
    while (read(client, &c, 1) == 1 && c != '\n')
      line += c;
    {
      std::lock_guard lock(mutex_);
      received_.push_back(line);
    }
    auto answer = reply_ + "\n";
    [[maybe_unused]] auto sent = send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
    close(client);
  }
}

}  // namespace kestles::testing
