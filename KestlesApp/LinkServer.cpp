#include "KestlesApp/LinkServer.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "KestlesCore/command/CommandLink.hpp"

namespace kestles::app {
namespace {

constexpr std::size_t kLongestLine = 64 * 1024;
constexpr int kReadTimeoutMilliseconds = 2000;

sockaddr_un addressOf(const std::filesystem::path& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
  return address;
}

/// Creates the folder private to this user, or checks that an existing one is.
std::optional<std::string> preparePrivateFolder(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder.parent_path(), error);
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
    return "The socket folder " + folder.string() + " can’t be made: " + std::strerror(errno) + ".";
  struct stat status {};
  if (lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != getuid())
    return "The socket folder " + folder.string() + " isn’t a folder of yours.";
  if ((status.st_mode & 0777) != 0700 && chmod(folder.c_str(), 0700) != 0)
    return "The socket folder " + folder.string() + " can’t be made private.";
  return std::nullopt;
}

bool someoneListens(const std::filesystem::path& path) {
  int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  auto address = addressOf(path);
  bool listening = connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
  close(probe);
  return listening;
}

bool peerIsThisUser(int client) {
  ucred credentials{};
  socklen_t length = sizeof(credentials);
  return getsockopt(client, SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0 &&
         credentials.uid == getuid();
}

/// Reads up to the first line feed, within a time limit and a size limit.
std::optional<std::string> readLine(int client) {
  std::string line;
  char buffer[1024];
  while (line.size() <= kLongestLine) {
    pollfd waiting{client, POLLIN, 0};
    if (poll(&waiting, 1, kReadTimeoutMilliseconds) <= 0) return std::nullopt;
    auto count = recv(client, buffer, sizeof(buffer), 0);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return std::nullopt;
    line.append(buffer, static_cast<std::size_t>(count));
    if (auto end = line.find('\n'); end != std::string::npos) return line.substr(0, end);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> refusalOf(const std::string& line) {
  if (line.starts_with("file://") && line.size() > 7) return std::nullopt;
  if (decodeCommandLink(line)) return std::nullopt;
  return "That link isn’t a command Kestles knows.";
}

LinkServer::LinkServer(Handler handler) : handler_(std::move(handler)) {}

LinkServer::~LinkServer() {
  if (listener_ >= 0) {
    close(listener_);
    unlink(socket_.c_str());
  }
  for (int fd : wake_)
    if (fd >= 0) close(fd);
}

std::optional<std::string> LinkServer::listen(const std::filesystem::path& socketPath) {
  if (auto refused = preparePrivateFolder(socketPath.parent_path())) return refused;
  if (socketPath.string().size() >= sizeof(sockaddr_un::sun_path))
    return "The socket path " + socketPath.string() + " is too long.";
  if (someoneListens(socketPath)) return "Kestles is already running.";
  unlink(socketPath.c_str());  // left behind by an app that ended without cleaning up
  listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  auto address = addressOf(socketPath);
  if (listener_ < 0 ||
      bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      ::listen(listener_, 16) != 0 || pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0)
    return "Kestles can’t listen at " + socketPath.string() + ": " + std::strerror(errno) + ".";
  socket_ = socketPath;
  return std::nullopt;
}

void LinkServer::run() {
  while (true) {
    pollfd fds[2] = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents != 0) return;
    int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    serve(client);
    close(client);
  }
}

void LinkServer::stop() {
  if (wake_[1] >= 0) [[maybe_unused]]
    auto written = write(wake_[1], "x", 1);
}

void LinkServer::serve(int client) {
  std::string reply = "ok\n";
  if (!peerIsThisUser(client)) {
    reply = "error Kestles takes commands only from its own user.\n";
  } else if (auto line = readLine(client)) {
    if (auto refused = handler_(*line)) reply = "error " + *refused + "\n";
  } else {
    reply = "error Kestles didn’t receive a whole line.\n";
  }
  [[maybe_unused]] auto sent = send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
}

}  // namespace kestles::app
