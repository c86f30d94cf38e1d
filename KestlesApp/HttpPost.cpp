#include "KestlesApp/HttpPost.hpp"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace kestles::app {
namespace {

struct EasyDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

/// libcurl's global set-up is not thread-safe; it runs once, on first use.
void setUpOnce() {
  static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  (void)ready;
}

/// The reply as it comes, and how much of `kLongestReply` its body has used.
struct Transfer {
  CURL* easy = nullptr;
  HttpReply reply;
  std::size_t received = 0;
  bool tooLarge = false;

  /// Counts the bytes against the bound; false (and `tooLarge`) once they go past it.
  bool admits(std::size_t bytes) {
    if (bytes > kLongestReply - received) {
      tooLarge = true;
      return false;
    }
    received += bytes;
    return true;
  }
};

/// Anything but the number of bytes handed over makes libcurl stop the transfer.
constexpr std::size_t kStop = 0;

std::size_t appendBody(char* data, std::size_t size, std::size_t count, void* context) {
  auto& transfer = *static_cast<Transfer*>(context);
  auto bytes = size * count;
  if (!transfer.admits(bytes)) return kStop;
  auto& body = transfer.reply.body;
  // A body of a known length is read into one buffer of that size, not grown step by step.
  curl_off_t length = -1;
  if (body.empty() &&
      curl_easy_getinfo(transfer.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK &&
      length > 0)
    body.reserve(std::min(static_cast<std::size_t>(length), kLongestReply));
  body.append(data, bytes);
  return bytes;
}

std::string_view trimmed(std::string_view text) {
  auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && isSpace(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back()))
    text.remove_suffix(1);
  return text;
}

/// Keeps "Name: value" header lines; the status line and the blank line have no colon.
std::size_t keepHeader(char* data, std::size_t size, std::size_t count, void* context) {
  auto& transfer = *static_cast<Transfer*>(context);
  std::string_view line(data, size * count);
  auto colon = line.find(':');
  if (colon != std::string_view::npos) {
    std::string name(trimmed(line.substr(0, colon)));
    std::ranges::transform(name, name.begin(), [](unsigned char c) { return std::tolower(c); });
    transfer.reply.headers[name] = std::string(trimmed(line.substr(colon + 1)));
  }
  return size * count;
}

/// The hosts reached without a proxy: the user's, and always this machine's own, which a
/// proxy would take for its own machine (a local model server is the common case).
std::string hostsWithoutProxy() {
  std::string hosts = "localhost,127.0.0.1,::1";
  for (const char* name : {"no_proxy", "NO_PROXY"})
    if (const char* value = std::getenv(name); value != nullptr && *value != '\0')
      return hosts + "," + value;
  return hosts;
}

HttpReply::Failure failureOf(CURLcode code, bool tooLarge) {
  if (tooLarge) return HttpReply::Failure::tooLarge;
  switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
      return HttpReply::Failure::timedOut;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
      return HttpReply::Failure::unreachable;
    case CURLE_FILESIZE_EXCEEDED:
      return HttpReply::Failure::tooLarge;
    default:
      return HttpReply::Failure::other;
  }
}

}  // namespace

HttpReply httpPost(const HttpRequest& request) {
  setUpOnce();
  std::unique_ptr<CURL, EasyDeleter> handle(curl_easy_init());
  if (!handle) return {HttpReply::Failure::other, "libcurl couldn’t start a transfer", 0, {}, {}};
  // Without this a larger body waits a second for a "100 Continue" that many servers never send.
  curl_slist* list = curl_slist_append(nullptr, "Expect:");
  for (const auto& header : request.headers)
    list = curl_slist_append(list, header.c_str());
  std::unique_ptr<curl_slist, ListDeleter> headers(list);
  auto* easy = handle.get();
  Transfer transfer{easy, {}, 0, false};
  curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers.get());
  auto direct = hostsWithoutProxy();
  curl_easy_setopt(easy, CURLOPT_NOPROXY, direct.c_str());
  curl_easy_setopt(easy, CURLOPT_POSTFIELDS, request.body.data());
  curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(request.body.size()));
  curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, long(request.timeout.count()));
  // Signals would reach whatever thread the process runs; timeouts go by polling instead.
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  // A body announced as too long is refused before any of it is read.
  curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(kLongestReply));
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, appendBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, keepHeader);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
  auto code = curl_easy_perform(easy);
  auto& reply = transfer.reply;
  if (code != CURLE_OK) {
    reply.failure = failureOf(code, transfer.tooLarge);
    reply.error = curl_easy_strerror(code);
    return std::move(reply);
  }
  curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &reply.status);
  return std::move(reply);
}

}  // namespace kestles::app
