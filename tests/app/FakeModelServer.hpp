#pragma once

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kestles::testing {

/// Stands in for a language model server on 127.0.0.1: answers every request with one canned
/// reply (or, when silent, holds the connection open without a word until it goes) and keeps
/// what it was sent.
class FakeModelServer {
 public:
  struct Reply {
    int status = 200;
    std::vector<std::string> headers;  // extra "Name: value" lines
    std::string body;
    bool silent = false;
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
