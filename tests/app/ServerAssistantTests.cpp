#include "KestlesApp/ServerAssistant.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

#include <nlohmann/json.hpp>

#include "KestlesCore/world/WorldFile.hpp"
#include "tests/app/FakeModelServer.hpp"

namespace kestles::app {
namespace {

using testing::completionSaying;
using testing::FakeModelServer;
using Kind = AssistantTrouble::Kind;

const std::filesystem::path kFixtures = KESTLES_FIXTURES;
const Date kNow = *Date::fromISO("2026-12-10T21:00:00Z");

AssistantRequest request() {
  auto file = WorldFile::read(kFixtures / "worlds" / "laptop-three.json");
  return AssistantRequest::about("Safari on the left half and a terminal on the right",
                                 Assistant::Situation::of(file.world, file.installedApps));
}

const AssistantIdea kIdea{"Reading",
                          {{"Safari", 1, AssistantPlace::leftHalf},
                           {"Terminal", std::nullopt, AssistantPlace::rightHalf}}};

AssistantAnswer askThrough(const FakeModelServer& server,
                           std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
  ServerAssistant assistant({server.url(), "local-model", "secret", timeout}, httpPost,
                            [] { return kNow; });
  return assistant.answer(request());
}

TEST(ServerAssistant, AsksForTheIdeaAsStructuredJSONAndReadsItBack) {
  FakeModelServer server({200, {}, completionSaying(nlohmann::json(kIdea).dump())});
  EXPECT_EQ(askThrough(server), AssistantAnswer(kIdea));

  auto requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_TRUE(requests[0].head.starts_with("POST /v1/chat/completions HTTP/1.1\r\n"));
  EXPECT_NE(requests[0].head.find("\r\nAuthorization: Bearer secret"), std::string::npos);
  auto body = nlohmann::json::parse(requests[0].body);
  EXPECT_EQ(body["model"], "local-model");
  EXPECT_EQ(body["messages"][0]["content"], Assistant::instructions());
  auto asked = body["messages"][1]["content"].get<std::string>();
  EXPECT_TRUE(asked.starts_with(request().situation.text())) << asked;
  EXPECT_TRUE(asked.ends_with(request().sentence)) << asked;
  const auto& format = body["response_format"];
  EXPECT_EQ(format["type"], "json_schema");
  EXPECT_EQ(format["json_schema"]["strict"], true);
  const auto& window = format["json_schema"]["schema"]["properties"]["windows"]["items"];
  EXPECT_EQ(window["properties"]["place"]["enum"].size(), 15u);
  EXPECT_EQ(window["required"], nlohmann::json({"app", "display", "place"}));
}

TEST(ServerAssistant, MapsEveryFailureToItsTrouble) {
  auto refusal = nlohmann::json(
      {{"choices",
        {{{"message", {{"role", "assistant"}, {"content", nullptr}, {"refusal", "No."}}},
          {"finish_reason", "stop"}}}}});
  struct Case {
    const char* what;
    FakeModelServer::Reply reply;
    AssistantAnswer expected;
  };
  const std::vector<Case> cases{
      {"rate limit in seconds",
       {429, {"Retry-After: 120"}, "{}"},
       AssistantTrouble::busy(Date{kNow.time + std::chrono::seconds(120)})},
      {"rate limit until a date",
       {429, {"Retry-After: Thu, 10 Dec 2026 22:30:00 GMT"}, "{}"},
       AssistantTrouble::busy(Date::fromISO("2026-12-10T22:30:00Z"))},
      {"rate limit without a time", {429, {}, "{}"}, AssistantTrouble::busy()},
      {"refusal", {200, {}, refusal.dump()}, AssistantTrouble::of(Kind::refused)},
      {"filtered",
       {200, {}, completionSaying("", "content_filter")},
       AssistantTrouble::of(Kind::refused)},
      {"cut short",
       {200, {}, completionSaying("{\"name\":", "length")},
       AssistantTrouble::of(Kind::tooMuch)},
      {"context too long",
       {400, {}, R"({"error":{"code":"context_length_exceeded"}})"},
       AssistantTrouble::of(Kind::tooMuch)},
      {"loading", {503, {}, ""}, AssistantTrouble::of(Kind::notReady)},
      {"server error", {500, {}, "oops"}, AssistantTrouble::of(Kind::other)},
      {"prose, not JSON",
       {200, {}, completionSaying("Put Safari left.")},
       AssistantTrouble::of(Kind::other)},
      {"no choices", {200, {}, R"({"choices":[]})"}, AssistantTrouble::of(Kind::other)},
      {"fenced JSON",
       {200, {}, completionSaying("```json\n" + nlohmann::json(kIdea).dump() + "\n```")},
       kIdea},
  };
  for (const auto& [what, reply, expected] : cases) {
    FakeModelServer server(reply);
    EXPECT_EQ(askThrough(server), expected) << what;
  }
}

TEST(ServerAssistant, ASilentOrMissingServerIsTimedOutOrNotReady) {
  FakeModelServer silent({200, {}, "", true});
  EXPECT_EQ(askThrough(silent, std::chrono::milliseconds(300)),
            AssistantAnswer(AssistantTrouble::of(Kind::timedOut)));

  std::string gone;
  {
    FakeModelServer closed({});
    gone = closed.url();
  }
  ServerAssistant assistant({gone, std::nullopt, std::nullopt, std::chrono::seconds(5)});
  EXPECT_EQ(assistant.answer(request()), AssistantAnswer(AssistantTrouble::of(Kind::notReady)));
}

TEST(ServerAssistant, AnAnswerPastTheBoundIsCutOffAsTooMuch) {
  // A server streaming an answer without end used to be read into memory until the time ran
  // out: half a gigabyte in a quarter of a minute.
  std::string chunk(64 * 1024, ' ');
  struct Case {
    const char* what;
    FakeModelServer::Reply reply;
  };
  const std::vector<Case> cases{
      {"without end", {200, {}, chunk, false, true, true}},
      {"without end, failing", {500, {}, chunk, false, true, true}},
      {"in chunks, past the bound", {200, {}, std::string(kLongestReply + 1, ' '), false, true}},
      {"of a length past the bound", {200, {}, std::string(50 << 20, ' ')}},
  };
  for (const auto& [what, reply] : cases) {
    FakeModelServer server(reply);
    // Too much, not timed out: the transfer stops at the bound, not when the time runs out.
    EXPECT_EQ(askThrough(server, std::chrono::seconds(20)),
              AssistantAnswer(AssistantTrouble::of(Kind::tooMuch)))
        << what;
  }
}

TEST(ServerAssistant, ALocalServerIsAskedDirectlyPastAProxy) {
  FakeModelServer server({200, {}, completionSaying(nlohmann::json(kIdea).dump())});
  // Nothing listens on the discard port: a request sent to this proxy fails.
  setenv("http_proxy", "http://127.0.0.1:9", 1);
  auto answer = askThrough(server);
  unsetenv("http_proxy");
  EXPECT_EQ(answer, AssistantAnswer(kIdea));
}

TEST(ServerAssistant, TheEndpointIsTheChatCompletionsOneUnderTheURL) {
  for (const auto* url : {"http://localhost:8080/v1", "http://localhost:8080/v1/",
                          "http://localhost:8080/v1/chat/completions"}) {
    AssistantServer server;
    server.url = url;
    EXPECT_EQ(server.endpoint(), "http://localhost:8080/v1/chat/completions") << url;
  }
}

}  // namespace
}  // namespace kestles::app
