#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kestles::app {

/// The most bytes of a reply's body that are read; a server sending more is cut off, so that
/// an answer without end cannot fill memory. (libcurl holds the headers to 300 KB itself.)
inline constexpr std::size_t kLongestReply = std::size_t{4} << 20;

/// One HTTP POST: where, with which extra header lines ("Authorization: Bearer …"), what body,
/// and how long the whole exchange may take.
struct HttpRequest {
  std::string url;
  std::vector<std::string> headers;
  std::string body;
  std::chrono::milliseconds timeout{60'000};
};

/// What came back: a status, headers and body, or why there was no answer.
struct HttpReply {
  enum class Failure {
    timedOut,     // no whole answer in time
    unreachable,  // no connection: the host is unknown or nothing listens there
    tooLarge,     // more than `kLongestReply` bytes came: the transfer was stopped there
    other,        // anything else (a broken answer, a TLS failure)
  };
  std::optional<Failure> failure;  // set when no answer came
  std::string error;               // the transfer's own words for a failure
  long status = 0;
  std::map<std::string, std::string> headers;  // names in lower case; a repeated one keeps the last
  std::string body;
};

/// Posts the request and waits for the reply (http and https, following no redirects), reading
/// at most `kLongestReply` bytes of it. Never throws.
HttpReply httpPost(const HttpRequest& request);

}  // namespace kestles::app
