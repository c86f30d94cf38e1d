#include "kestles/AppConnection.hpp"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "KestlesEngine/platform/Environment.hpp"
#include "kestles/AppLocation.hpp"

extern char** environ;

namespace kestles::tool {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kStartTimeout = std::chrono::seconds(5);
constexpr int kReplyTimeoutMilliseconds = 5000;

std::string unreachable(const std::string& reason) {
  return "Couldn’t reach Kestles: " + reason;
}

/// Closes a descriptor when it goes out of scope.
struct Descriptor {
  int fd = -1;
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
};

/// Refuses a socket folder that another user owns or that others can enter.
std::optional<std::string> checkFolder(const std::filesystem::path& folder) {
  struct stat status {};
  if (lstat(folder.c_str(), &status) != 0) return std::nullopt;
  if (!S_ISDIR(status.st_mode) || status.st_uid != getuid() || (status.st_mode & 077) != 0)
    return unreachable("its folder " + folder.string() +
                       " isn’t a private folder of yours, so Kestles won’t use it.");
  return std::nullopt;
}

enum class Connect { connected, nobodyListens, failed };

Connect connectTo(const std::filesystem::path& path, Descriptor& socketFd, int& error) {
  socketFd.fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (socketFd.fd < 0) {
    error = errno;
    return Connect::failed;
  }
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  auto text = path.string();
  if (text.size() >= sizeof(address.sun_path)) {
    error = ENAMETOOLONG;
    return Connect::failed;
  }
  std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
  if (connect(socketFd.fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0)
    return Connect::connected;
  error = errno;
  close(socketFd.fd);
  socketFd.fd = -1;
  return (error == ENOENT || error == ECONNREFUSED) ? Connect::nobodyListens : Connect::failed;
}

/// Starts the app detached from this process, its output discarded.
bool startApp(const std::filesystem::path& app) {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  auto path = app.string();
  char* arguments[] = {path.data(), nullptr};
  pid_t child = 0;
  int result = posix_spawn(&child, path.c_str(), &actions, &attributes, arguments, environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  return result == 0;
}

std::optional<std::string> connectOrStart(Descriptor& socketFd) {
  auto path = platform::socketPath();
  if (auto refused = checkFolder(path.parent_path())) return refused;
  int error = 0;
  auto outcome = connectTo(path, socketFd, error);
  if (outcome == Connect::connected) return std::nullopt;
  if (outcome == Connect::failed) return unreachable(std::strerror(error) + std::string("."));
  auto app = appBesideTool();
  if (!app)
    return unreachable("it isn’t running, and there’s no kestles-app beside kestles to start.");
  if (!startApp(*app)) return unreachable("kestles-app couldn’t be started.");
  auto deadline = Clock::now() + kStartTimeout;
  while (Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (auto refused = checkFolder(path.parent_path())) return refused;
    if (connectTo(path, socketFd, error) == Connect::connected) return std::nullopt;
  }
  return unreachable("kestles-app didn’t start listening within 5 seconds.");
}

std::optional<std::string> readReply(int fd, std::string& reply) {
  auto deadline = Clock::now() + std::chrono::milliseconds(kReplyTimeoutMilliseconds);
  char buffer[512];
  while (reply.find('\n') == std::string::npos) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd waiting{fd, POLLIN, 0};
    if (left.count() <= 0 || poll(&waiting, 1, static_cast<int>(left.count())) <= 0)
      return unreachable("it didn’t answer.");
    auto count = recv(fd, buffer, sizeof(buffer), 0);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return unreachable("it closed the connection without answering.");
    reply.append(buffer, static_cast<std::size_t>(count));
  }
  reply.resize(reply.find('\n'));
  return std::nullopt;
}

bool sendAll(int fd, const std::string& text) {
  std::size_t sent = 0;
  while (sent < text.size()) {
    auto count = send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    sent += static_cast<std::size_t>(count);
  }
  return true;
}

}  // namespace

std::optional<std::string> deliverToApp(const std::string& line) {
  Descriptor socketFd;
  if (auto failure = connectOrStart(socketFd)) return failure;
  if (!sendAll(socketFd.fd, line + "\n")) return unreachable("the connection broke while sending.");
  std::string reply;
  if (auto failure = readReply(socketFd.fd, reply)) return failure;
  if (reply == "ok") return std::nullopt;
  if (reply.starts_with("error ")) return unreachable(reply.substr(6));
  return unreachable("it gave an answer Kestles doesn’t know: " + reply);
}

}  // namespace kestles::tool
