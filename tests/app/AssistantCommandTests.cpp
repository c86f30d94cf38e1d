// The assistant on the command line, run as the built app over a simulated desktop.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "KestlesCore/command/CommandLink.hpp"
#include "tests/app/AppCommandHome.hpp"
#include "tests/app/FakeModelServer.hpp"

namespace kestles::testing {
namespace {

using Json = nlohmann::json;

const std::string kSentence = "Safari on the left half and Foo Writer on the right";

class AssistantCommand : public ::testing::Test, protected AppCommandHome {
 protected:
  ProcessResult assistant(const std::vector<std::string>& arguments,
                          const std::string& server = "") const {
    std::vector<std::string> words{"assistant"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return runApp(words, {{"KESTLES_ASSISTANT_URL", server},
                          {"KESTLES_ASSISTANT_KEY", ""},
                          {"KESTLES_ASSISTANT_MODEL", ""}});
  }
  Json library() const { return Json::parse(std::ifstream(libraryPath())); }
};

TEST_F(AssistantCommand, PrintsTheIdeaTheKestleAndTheUnknownAppsAndSavesNothing) {
  auto result = assistant({kSentence});
  ASSERT_EQ(result.status, 0) << result.err;
  auto printed = Json::parse(result.out);
  EXPECT_EQ(printed["idea"]["windows"], Json::parse(R"([{"app": "Safari", "place": "leftHalf"},
                            {"app": "Foo Writer", "place": "rightHalf"}])"));
  EXPECT_EQ(printed["unknown"], Json({"Foo Writer"}));
  const auto& screen = printed["kestle"]["arrangements"]["LAPTOP"]["screens"][0];
  EXPECT_EQ(screen["pins"][0]["bundleID"], "com.apple.Safari");
  EXPECT_FALSE(printed.contains("saved"));
  EXPECT_EQ(library()["kestles"].size(), 2u);
}

TEST_F(AssistantCommand, SaveHandsTheKestleToTheAppAndApplyThenItsLink) {
  FakeApp app(runtimePath());
  auto first = assistant({"--save", "Safari full screen"});
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(Json::parse(first.out)["saved"], true);
  auto second = assistant({"Safari full screen", "--apply"});
  ASSERT_EQ(second.status, 0) << second.err;

  // The running app writes the library: the assistant only asks it to.
  EXPECT_EQ(library()["kestles"].size(), 2u);
  auto received = app.received();
  ASSERT_EQ(received.size(), 3u);
  std::vector<Json> kestles;
  for (const auto& result : {first, second}) {
    kestles.push_back(Json::parse(result.out)["kestle"]);
    EXPECT_EQ(kestles.back()["name"], "Safari");  // unique against the library the app keeps
  }
  for (std::size_t i : {0u, 1u}) {
    auto request = decodeRecordLink(received[i]);
    ASSERT_TRUE(request) << received[i];
    const auto* add = std::get_if<RecordRequest::AddKestle>(&request->value);
    ASSERT_TRUE(add) << received[i];
    EXPECT_EQ(Json(add->kestle), kestles[i]);
  }
  EXPECT_EQ(received[2], "kestles://kestle/" + kestles[1]["id"].get<std::string>());
}

TEST_F(AssistantCommand, SaysWhyThereIsNoIdea) {
  auto result = assistant({"окно слева"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "kestles-app: The assistant doesn’t speak that language yet\n");

  result = assistant({"--save"});
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(result.err.starts_with("kestles-app: assistant takes a sentence")) << result.err;

  auto off = library();
  off["settings"]["assistantEnabled"] = false;
  std::ofstream(libraryPath()) << off.dump();
  result = assistant({kSentence});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "kestles-app: The assistant is turned off in the settings.\n");
}

TEST_F(AssistantCommand, AServerNamedInTheEnvironmentIsAsked) {
  Json idea = {
      {"name", "Side by Side"},
      {"windows", {{{"app", "Terminal"}, {"display", nullptr}, {"place", "leftTwoThirds"}}}}};
  FakeModelServer server({200, {}, completionSaying(idea.dump())});
  auto result = assistant({"terminal wide on the left"}, server.url());
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(Json::parse(result.out)["kestle"]["name"], "Side by Side");
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(
      Json::parse(server.requests()[0].body)["messages"][1]["content"].get<std::string>().ends_with(
          "terminal wide on the left"),
      true);

  FakeModelServer busy({429, {}, "{}"});
  result = assistant({"terminal wide on the left"}, busy.url());
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "kestles-app: The assistant is busy; try again in a moment\n");
}

TEST_F(AssistantCommand, AServersIdeaIsHeldToTheLimitsBeforeItIsSaved) {
  // A server's idea of ten thousand windows was saved (the library grew by megabytes), and a
  // sentence of five thousand characters was sent although the limit is a thousand.
  Json window = {{"app", "Safari"}, {"display", nullptr}, {"place", "full"}};
  Json idea = {{"name", "Crowd"}, {"windows", Json::array()}};
  for (int i = 0; i < 10'000; ++i)
    idea["windows"].push_back(window);
  FakeModelServer crowd({200, {}, completionSaying(idea.dump())});
  auto result = assistant({"--save", "Safari everywhere"}, crowd.url());
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "kestles-app: That’s too much to arrange at once\n");
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(library()["kestles"].size(), 2u);

  FakeModelServer server({200, {}, completionSaying(idea.dump())});
  result = assistant({"--save", std::string(5000, 'x')}, server.url());
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "kestles-app: That’s too much to arrange at once\n");
  EXPECT_TRUE(server.requests().empty());
  EXPECT_EQ(library()["kestles"].size(), 2u);
}

}  // namespace
}  // namespace kestles::testing
