#include "tests/app/FakeModelServer.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include <nlohmann/json.hpp>

namespace kestles::testing {
namespace {

/// Reads the head and a body of the head's Content-Length; what came when the peer stops.
FakeModelServer::Request readRequest(int connection) {
  std::string data;
  char buffer[4096];
  std::size_t headEnd = std::string::npos;
  std::size_t length = 0;
  while (true) {
    if (headEnd == std::string::npos && (headEnd = data.find("\r\n\r\n")) != std::string::npos) {
      auto at = data.find("Content-Length:");
      if (at == std::string::npos) at = data.find("content-length:");
      if (at != std::string::npos && at < headEnd) length = std::stoul(data.substr(at + 15));
    }
    if (headEnd != std::string::npos && data.size() >= headEnd + 4 + length) break;
    auto count = read(connection, buffer, sizeof(buffer));
    if (count <= 0) break;
    data.append(buffer, static_cast<std::size_t>(count));
  }
  if (headEnd == std::string::npos) return {data, ""};
  return {data.substr(0, headEnd), data.substr(headEnd + 4)};
}

}  // namespace

FakeModelServer::FakeModelServer(Reply reply) : reply_(std::move(reply)) {
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof(address);
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      listen(listener_, 8) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0 ||
      pipe2(wake_, O_CLOEXEC) != 0)
    throw std::runtime_error("the fake model server can’t listen");
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { serve(); });
}

FakeModelServer::~FakeModelServer() {
  [[maybe_unused]] auto written = write(wake_[1], "x", 1);
  thread_.join();
  for (int connection : held_)
    close(connection);
  close(listener_);
  close(wake_[0]);
  close(wake_[1]);
}

std::string FakeModelServer::url() const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/v1";
}

std::vector<FakeModelServer::Request> FakeModelServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void FakeModelServer::serve() {
  while (true) {
    pollfd fds[2] = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    if (poll(fds, 2, -1) < 0 || fds[1].revents != 0) return;
    int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection >= 0) answer(connection);
  }
}

void FakeModelServer::answer(int connection) {
  auto request = readRequest(connection);
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
  }
  if (reply_.silent) {
    held_.push_back(connection);
    return;
  }
  bool chunked = reply_.chunked || reply_.endless;
  std::string head = "HTTP/1.1 " + std::to_string(reply_.status) + " Reply\r\n" +
                     "Content-Type: application/json\r\nConnection: close\r\n" +
                     (chunked ? std::string("Transfer-Encoding: chunked\r\n")
                              : "Content-Length: " + std::to_string(reply_.body.size()) + "\r\n");
  for (const auto& header : reply_.headers)
    head += header + "\r\n";
  head += "\r\n";
  if (!chunked) {
    sendOrStop(connection, head + reply_.body);
  } else if (sendOrStop(connection, head)) {
    std::ostringstream size;
    size << std::hex << reply_.body.size();
    auto chunk = size.str() + "\r\n" + reply_.body + "\r\n";
    while (sendOrStop(connection, chunk) && reply_.endless) {
    }
    sendOrStop(connection, "0\r\n\r\n");
  }
  close(connection);
}

bool FakeModelServer::sendOrStop(int connection, const std::string& text) const {
  std::string_view rest = text;
  while (!rest.empty()) {
    pollfd fds[2] = {{connection, POLLOUT, 0}, {wake_[0], POLLIN, 0}};
    if (poll(fds, 2, -1) < 0 || fds[1].revents != 0) return false;
    auto sent = send(connection, rest.data(), rest.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (sent <= 0) return false;
    rest.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

std::string completionSaying(const std::string& content, const std::string& finish) {
  nlohmann::json message = {{"role", "assistant"}, {"content", content}};
  return nlohmann::json(
             {{"choices", {{{"index", 0}, {"message", message}, {"finish_reason", finish}}}}})
      .dump();
}

}  // namespace kestles::testing
