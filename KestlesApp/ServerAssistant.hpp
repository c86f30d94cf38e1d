#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

#include "KestlesApp/HttpPost.hpp"
#include "KestlesCore/assistant/AssistantModel.hpp"
#include "KestlesCore/coding/Date.hpp"

namespace kestles::app {

/// A language model server with the OpenAI-compatible chat completions interface, as a
/// user names it: most local model servers offer that interface.
struct AssistantServer {
  std::string url;                   // the base ("http://localhost:8080/v1") or the endpoint itself
  std::optional<std::string> model;  // left out of the request when not named
  std::optional<std::string> key;    // sent as a bearer token
  std::chrono::milliseconds timeout{60'000};

  /// From KESTLES_ASSISTANT_URL, KESTLES_ASSISTANT_MODEL and KESTLES_ASSISTANT_KEY; nothing
  /// when no URL is set.
  static std::optional<AssistantServer> fromEnvironment();

  /// The chat completions endpoint: the URL itself when it already ends in
  /// "/chat/completions", else the URL with that appended.
  std::string endpoint() const;
};

/// The assistant's model on a language model server: asks for the idea as JSON in the
/// idea's structure and maps every failure to a trouble.
class ServerAssistant final : public AssistantModel {
 public:
  using Post = std::function<HttpReply(const HttpRequest&)>;

  explicit ServerAssistant(AssistantServer server, Post post = httpPost,
                           std::function<Date()> now = &Date::now);

  AssistantAnswer answer(const AssistantRequest& request) override;

  /// The request body: the instructions as the system message, the situation text and the
  /// sentence as the user's, and a strict JSON schema of the idea as the response format.
  static nlohmann::json body(const AssistantRequest& request,
                             const std::optional<std::string>& model);

  /// The idea in a reply, or its trouble: 429 is busy until its Retry-After (seconds or an
  /// HTTP date); 408 and 504 and no answer in time are timed out; 503 and a server that
  /// cannot be reached are not ready; 413, a context too long and a reply longer than
  /// `kLongestReply` are too much; a refusal or a filtered answer is refused; anything else,
  /// an answer that is no idea included, other.
  static AssistantAnswer interpreted(const HttpReply& reply, Date now);

 private:
  AssistantServer server_;
  Post post_;
  std::function<Date()> now_;
};

}  // namespace kestles::app
