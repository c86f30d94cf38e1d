#include "KestlesApp/ServerAssistant.hpp"

#include <ctime>
#include <iomanip>
#include <sstream>

#include <nlohmann/json.hpp>

#include "KestlesCore/assistant/AssistantPlace.hpp"
#include "KestlesEngine/platform/Environment.hpp"

namespace kestles::app {
namespace {

using Json = nlohmann::json;
using Kind = AssistantTrouble::Kind;

constexpr std::string_view kEndpoint = "/chat/completions";

/// The idea's structure as a strict schema: every property required, a display without a
/// number written as null.
Json ideaSchema() {
  Json places = Json::array();
  for (auto place : allAssistantPlaces())
    places.push_back(rawValue(place));
  Json window = {{"type", "object"},
                 {"additionalProperties", false},
                 {"required", {"app", "display", "place"}},
                 {"properties",
                  {{"app", {{"type", "string"}}},
                   {"display", {{"type", {"integer", "null"}}}},
                   {"place", {{"type", "string"}, {"enum", places}}}}}};
  return {{"type", "object"},
          {"additionalProperties", false},
          {"required", {"name", "windows"}},
          {"properties",
           {{"name", {{"type", "string"}}}, {"windows", {{"type", "array"}, {"items", window}}}}}};
}

/// A Retry-After value: a number of seconds, or an HTTP date ("Wed, 21 Oct 2026 07:28:00 GMT").
std::optional<Date> retryDate(const std::string& value, Date now) {
  if (!value.empty() && value.find_first_not_of("0123456789") == std::string::npos &&
      value.size() < 10)
    return Date{now.time + std::chrono::seconds(std::stol(value))};
  std::tm parts{};
  std::istringstream text(value);
  text.imbue(std::locale::classic());
  text >> std::get_time(&parts, "%a, %d %b %Y %H:%M:%S");
  if (text.fail()) return std::nullopt;
  return Date{std::chrono::sys_seconds(std::chrono::seconds(timegm(&parts)))};
}

AssistantTrouble troubleOfStatus(const HttpReply& reply, Date now) {
  switch (reply.status) {
    case 429: {
      auto retry = reply.headers.find("retry-after");
      return AssistantTrouble::busy(retry == reply.headers.end() ? std::nullopt
                                                                 : retryDate(retry->second, now));
    }
    case 408:
    case 504:
      return AssistantTrouble::of(Kind::timedOut);
    case 503:
      return AssistantTrouble::of(Kind::notReady);
    case 413:
      return AssistantTrouble::of(Kind::tooMuch);
    default:
      break;
  }
  auto error = Json::parse(reply.body, nullptr, false);
  if (error.is_object() && error.contains("error") && error["error"].is_object() &&
      error["error"].value("code", Json()) == "context_length_exceeded")
    return AssistantTrouble::of(Kind::tooMuch);
  return AssistantTrouble::of(Kind::other);
}

AssistantTrouble troubleOfFailure(HttpReply::Failure failure) {
  switch (failure) {
    case HttpReply::Failure::timedOut:
      return AssistantTrouble::of(Kind::timedOut);
    case HttpReply::Failure::unreachable:
      return AssistantTrouble::of(Kind::notReady);
    case HttpReply::Failure::tooLarge:
      return AssistantTrouble::of(Kind::tooMuch);
    case HttpReply::Failure::other:
      break;
  }
  return AssistantTrouble::of(Kind::other);
}

/// Some models wrap their JSON in a fenced block even when asked for JSON alone.
std::string withoutFence(std::string text) {
  auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos || text.compare(first, 3, "```") != 0) return text;
  auto bodyStart = text.find('\n', first);
  auto fenceEnd = text.rfind("```");
  if (bodyStart == std::string::npos || fenceEnd <= bodyStart) return text;
  return text.substr(bodyStart + 1, fenceEnd - bodyStart - 1);
}

AssistantAnswer ideaOf(const Json& message) {
  auto content = message.value("content", Json());
  if (!content.is_string()) return AssistantTrouble::of(Kind::other);
  try {
    auto idea = Json::parse(withoutFence(content.get<std::string>())).get<AssistantIdea>();
    if (idea.windows.empty()) return AssistantTrouble::of(Kind::other);
    return idea;
  } catch (const std::exception&) {
    return AssistantTrouble::of(Kind::other);
  }
}

AssistantAnswer answerOfCompletion(const std::string& body) {
  auto completion = Json::parse(body, nullptr, false);
  if (!completion.is_object() || !completion.contains("choices") ||
      !completion["choices"].is_array() || completion["choices"].empty() ||
      !completion["choices"][0].is_object())
    return AssistantTrouble::of(Kind::other);
  const auto& choice = completion["choices"][0];
  auto message = choice.value("message", Json::object());
  auto refusal = message.is_object() ? message.value("refusal", Json()) : Json();
  auto finish = choice.value("finish_reason", Json());
  if ((refusal.is_string() && !refusal.get<std::string>().empty()) || finish == "content_filter")
    return AssistantTrouble::of(Kind::refused);
  if (finish == "length") return AssistantTrouble::of(Kind::tooMuch);
  if (!message.is_object()) return AssistantTrouble::of(Kind::other);
  return ideaOf(message);
}

}  // namespace

std::optional<AssistantServer> AssistantServer::fromEnvironment() {
  auto url = platform::environment("KESTLES_ASSISTANT_URL");
  if (!url || url->empty()) return std::nullopt;
  AssistantServer server;
  server.url = *url;
  server.model = platform::environment("KESTLES_ASSISTANT_MODEL");
  server.key = platform::environment("KESTLES_ASSISTANT_KEY");
  return server;
}

std::string AssistantServer::endpoint() const {
  if (url.ends_with(kEndpoint)) return url;
  auto base = url;
  while (base.ends_with('/'))
    base.pop_back();
  return base + std::string(kEndpoint);
}

ServerAssistant::ServerAssistant(AssistantServer server, Post post, std::function<Date()> now)
    : server_(std::move(server)), post_(std::move(post)), now_(std::move(now)) {}

Json ServerAssistant::body(const AssistantRequest& request,
                           const std::optional<std::string>& model) {
  Json body = {
      {"messages",
       {{{"role", "system"}, {"content", request.instructions}},
        {{"role", "user"},
         {"content", request.situation.text() + "\n\nThe user's sentence: " + request.sentence}}}},
      {"response_format",
       {{"type", "json_schema"},
        {"json_schema", {{"name", "arrangement"}, {"strict", true}, {"schema", ideaSchema()}}}}},
      {"temperature", 0}};
  if (model && !model->empty()) body["model"] = *model;
  return body;
}

AssistantAnswer ServerAssistant::interpreted(const HttpReply& reply, Date now) {
  if (reply.failure) return troubleOfFailure(*reply.failure);
  if (reply.status < 200 || reply.status > 299) return troubleOfStatus(reply, now);
  return answerOfCompletion(reply.body);
}

AssistantAnswer ServerAssistant::answer(const AssistantRequest& request) {
  HttpRequest http{
      server_.endpoint(),
      {"Content-Type: application/json"},
      body(request, server_.model).dump(-1, ' ', false, Json::error_handler_t::replace),
      server_.timeout};
  if (server_.key && !server_.key->empty())
    http.headers.push_back("Authorization: Bearer " + *server_.key);
  return interpreted(post_(http), now_());
}

}  // namespace kestles::app
