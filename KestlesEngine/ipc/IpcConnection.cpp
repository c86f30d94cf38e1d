#include "KestlesEngine/ipc/IpcConnection.hpp"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "KestlesEngine/platform/Environment.hpp"

namespace kestles::ipc {

std::optional<std::string> socketPath() {
  if (auto sway = platform::environment("SWAYSOCK")) return sway;
  return platform::environment("I3SOCK");
}

std::unique_ptr<IpcConnection> IpcConnection::open(const std::string& path) {
  sockaddr_un address{};
  if (path.empty() || path.size() >= sizeof address.sun_path) return nullptr;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.data(), path.size());
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<IpcConnection>(new IpcConnection(fd));
}

IpcConnection::~IpcConnection() {
  close();
}

void IpcConnection::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool IpcConnection::fill(int wake, int limitMs) {
  if (fd_ < 0) return false;
  pollfd fds[2] = {{fd_, POLLIN, 0}, {wake, POLLIN, 0}};
  int ready = 0;
  do {
    ready = ::poll(fds, wake >= 0 ? 2 : 1, limitMs);
  } while (ready < 0 && errno == EINTR);
  if (ready <= 0 || (wake >= 0 && (fds[1].revents & POLLIN))) {
    // A request that was not answered in time leaves its reply in flight: the stream can no
    // longer be matched to requests, so the connection is given up.
    if (wake < 0) close();
    return false;
  }
  char buffer[16384];
  ssize_t count = 0;
  do {
    count = ::recv(fd_, buffer, sizeof buffer, 0);
  } while (count < 0 && errno == EINTR);
  if (count <= 0) {
    close();
    return false;
  }
  reader_.feed(std::string_view(buffer, std::size_t(count)));
  return true;
}

std::optional<std::vector<std::string>> IpcConnection::exchange(
    std::span<const std::pair<Request, std::string>> requests) {
  if (fd_ < 0) return std::nullopt;
  std::string out;
  for (const auto& [type, payload] : requests)
    out += encodeMessage(type, payload);
  for (std::size_t sent = 0; sent < out.size();) {
    auto count = ::send(fd_, out.data() + sent, out.size() - sent, MSG_NOSIGNAL);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) {
      close();
      return std::nullopt;
    }
    sent += std::size_t(count);
  }
  ++roundTrips_;
  std::vector<std::string> replies;
  while (replies.size() < requests.size()) {
    auto message = reader_.next();
    if (!message) {
      if (reader_.error() || !fill(-1, kAnswerLimitMs)) {
        close();
        return std::nullopt;
      }
      continue;
    }
    if (!message->isEvent()) replies.push_back(std::move(message->payload));
  }
  return replies;
}

std::optional<std::string> IpcConnection::request(Request type, std::string payload) {
  std::pair<Request, std::string> one{type, std::move(payload)};
  auto replies = exchange(std::span(&one, 1));
  if (!replies) return std::nullopt;
  return std::move(replies->front());
}

std::optional<Message> IpcConnection::read(int wake) {
  while (true) {
    if (auto message = reader_.next()) return message;
    if (reader_.error()) {
      close();
      return std::nullopt;
    }
    if (!fill(wake, -1)) return std::nullopt;
  }
}

}  // namespace kestles::ipc
