#include "KestlesLink/LinkSocket.hpp"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "KestlesLink/LinkReply.hpp"

namespace kestles::link {
namespace {

/// The address of a socket path; nothing when the path is too long for one.
std::optional<sockaddr_un> addressOf(const std::filesystem::path& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const auto& text = path.native();
  if (text.empty() || text.size() >= sizeof(address.sun_path)) return std::nullopt;
  std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
  return address;
}

int millisecondsUntil(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

/// Waits for `events` on the socket until the deadline; false when it passed first.
bool waitFor(int socket, short events, Clock::time_point deadline) {
  while (true) {
    pollfd waiting{socket, events, 0};
    int ready = poll(&waiting, 1, millisecondsUntil(deadline));
    if (ready > 0) return true;
    if (ready == 0 || errno != EINTR) return false;
  }
}

}  // namespace

FolderState folderState(const std::filesystem::path& folder) {
  struct stat status {};
  if (lstat(folder.c_str(), &status) != 0)
    return errno == ENOENT ? FolderState::missing : FolderState::notPrivate;
  bool isPrivate =
      S_ISDIR(status.st_mode) && status.st_uid == getuid() && (status.st_mode & 077) == 0;
  return isPrivate ? FolderState::isPrivate : FolderState::notPrivate;
}

FolderState makePrivateFolder(const std::filesystem::path& folder) {
  std::error_code ignored;
  std::filesystem::create_directories(folder.parent_path(), ignored);
  // An existing folder is never widened or narrowed here: the caller refuses one that is not
  // private rather than take over a folder somebody else prepared.
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return FolderState::missing;
  return folderState(folder);
}

bool isOwnSocket(const std::filesystem::path& path) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0 && S_ISSOCK(status.st_mode) && status.st_uid == getuid();
}

Connection connectTo(const std::filesystem::path& path, std::chrono::milliseconds bound) {
  Connection connection;
  auto address = addressOf(path);
  if (!address) {
    connection.error = ENAMETOOLONG;
    return connection;
  }
  connection.socket.reset(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!connection.socket) {
    connection.error = errno;
    return connection;
  }
  // A blocking connect to a listener whose queue is full waits for room; the send timeout
  // bounds that wait, after which connect fails with EAGAIN.
  timeval limit{static_cast<time_t>(bound.count() / 1000),
                static_cast<suseconds_t>(bound.count() % 1000 * 1000)};
  setsockopt(connection.socket.get(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof(limit));
  int result = 0;
  do {
    result = connect(connection.socket.get(), reinterpret_cast<const sockaddr*>(&*address),
                     sizeof(*address));
  } while (result != 0 && errno == EINTR);
  if (result == 0) {
    timeval none{};
    setsockopt(connection.socket.get(), SOL_SOCKET, SO_SNDTIMEO, &none, sizeof(none));
    connection.outcome = ConnectOutcome::connected;
    return connection;
  }
  connection.error = errno;
  connection.socket.reset();
  if (connection.error == ENOENT || connection.error == ECONNREFUSED)
    connection.outcome = ConnectOutcome::nobodyListens;
  else if (connection.error == EAGAIN || connection.error == ETIMEDOUT)
    connection.outcome = ConnectOutcome::busy;
  return connection;
}

std::optional<FileDescriptor> listenAt(const std::filesystem::path& path, int backlog) {
  auto address = addressOf(path);
  if (!address) {
    errno = ENAMETOOLONG;
    return std::nullopt;
  }
  FileDescriptor listener(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!listener ||
      bind(listener.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof(*address)) != 0 ||
      listen(listener.get(), backlog) != 0)
    return std::nullopt;
  return listener;
}

std::optional<uid_t> peerUser(int socket) {
  ucred credentials{};
  socklen_t length = sizeof(credentials);
  if (getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0) return std::nullopt;
  return credentials.uid;
}

bool sendAll(int socket, std::string_view text, Clock::time_point deadline) {
  while (!text.empty()) {
    auto count = send(socket, text.data(), text.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (count > 0) {
      text.remove_prefix(static_cast<std::size_t>(count));
      continue;
    }
    if (count < 0 && errno == EINTR) continue;
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) &&
        waitFor(socket, POLLOUT, deadline))
      continue;
    return false;
  }
  return true;
}

ReadOutcome readLine(int fd, Clock::time_point deadline, std::string& line) {
  return LineReader(fd).next(deadline, line);
}

ReadOutcome LineReader::next(Clock::time_point deadline, std::string& line) {
  char chunk[1024];
  while (true) {
    switch (takeLine(buffer_, line)) {
      case LineState::line:
        return ReadOutcome::line;
      case LineState::tooLong:
        return ReadOutcome::tooLong;
      case LineState::waiting:
        break;
    }
    if (!waitFor(fd_, POLLIN, deadline)) return ReadOutcome::timedOut;
    // read() rather than recv(): the tool reads the started app's report from a pipe.
    auto count = read(fd_, chunk, sizeof(chunk));
    if (count < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
    if (count <= 0) return ReadOutcome::closed;
    buffer_.append(chunk, static_cast<std::size_t>(count));
  }
}

}  // namespace kestles::link
