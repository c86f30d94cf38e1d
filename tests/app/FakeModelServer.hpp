#pragma once

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kestles::testing {

/// Stands in for a language model server on 127.0.0.1: answers every request with one canned
/// reply (or, when silent, holds the connection open without a word until it goes; when
/// endless, sends its body again and again until the client goes) and keeps what it was sent.
class FakeModelServer {
 public:
  struct Reply {
    int status = 200;
    std::vector<std::string> headers;  // extra "Name: value" lines
    std::string body;
    bool silent = false;
    bool chunked = false;  // the body in chunks, without a length
    bool endless = false;  // chunked, the body over and over without a last chunk
  };
  struct Request {
    std::string head;  // the request line and the headers
    std::string body;
  };

  explicit FakeModelServer(Reply reply);
  ~FakeModelServer();
  FakeModelServer(const FakeModelServer&) = delete;
  FakeModelServer& operator=(const FakeModelServer&) = delete;

  /// The base URL a client is given ("http://127.0.0.1:<port>/v1").
  std::string url() const;
  std::vector<Request> requests() const;

 private:
  void serve();
  void answer(int connection);
  /// Sends `text` unless the client went or the server is stopping; false then.
  bool sendOrStop(int connection, const std::string& text) const;

  Reply reply_;
  int listener_ = -1;
  int port_ = 0;
  int wake_[2] = {-1, -1};
  std::vector<int> held_;  // the connections a silent server keeps open
  mutable std::mutex mutex_;
  std::vector<Request> requests_;
  std::thread thread_;
};

/// A chat completion whose message says `content`.
std::string completionSaying(const std::string& content, const std::string& finish = "stop");

}  // namespace kestles::testing
