#include "KestlesCore/assistant/EmbeddedAssistant.hpp"

#include <gtest/gtest.h>

#include "AssistantTestSupport.hpp"

namespace kestles {
namespace {

using namespace assistant_testing;
using P = AssistantPlace;
using Window = AssistantIdea::Window;
using Kind = AssistantTrouble::Kind;

constexpr std::optional<int> kNone = std::nullopt;

TEST(EmbeddedAssistant, ReadsPlainSentences) {
  struct Row {
    const char* sentence;
    std::vector<Window> windows;
  };
  const Row rows[] = {
      {"Firefox on the left half and a terminal on the right",
       {{"Firefox", kNone, P::leftHalf}, {"GNOME Terminal", kNone, P::rightHalf}}},
      // The display named once holds both; "code" is Code's bundle id.
      {"code two thirds left, terminal third right on the external display",
       {{"Visual Studio Code", 2, P::leftTwoThirds}, {"GNOME Terminal", 2, P::rightThird}}},
      // "mail" is a kind of app: the installed mail app.
      {"mail full screen on display 2", {{"Thunderbird", 2, P::full}}},
      {"Firefox on display 1, Thunderbird on the second monitor",
       {{"Firefox", 1, P::full}, {"Thunderbird", 2, P::full}}},
      {"put code in the top left corner, firefox bottom left and alacritty on the right half "
       "of the built-in display",
       {{"Visual Studio Code", 1, P::topLeft},
        {"Firefox", 1, P::bottomLeft},
        {"Alacritty", 1, P::rightHalf}}},
      // Without sides, windows share the display in the order they were named.
      {"Firefox and Thunderbird side by side",
       {{"Firefox", kNone, P::leftHalf}, {"Thunderbird", kNone, P::rightHalf}}},
      {"terminal in the middle third, firefox left third, thunderbird a third",
       {{"GNOME Terminal", kNone, P::middleThird},
        {"Firefox", kNone, P::leftThird},
        {"Thunderbird", kNone, P::rightThird}}},
      {"Firefox 2/3 left + terminal 1/3",
       {{"Firefox", kNone, P::leftTwoThirds}, {"GNOME Terminal", kNone, P::rightThird}}},
      // A clause without an app finishes the one before.
      {"Firefox, on the left. Code: right.",
       {{"Firefox", kNone, P::leftHalf}, {"Visual Studio Code", kNone, P::rightHalf}}},
      {"Firefox top half on the built-in; Code centred on the Studio Display",
       {{"Firefox", 1, P::topHalf}, {"Visual Studio Code", 2, P::center}}},
      // An app nobody knows keeps the words as typed, for the conversion to report.
      {"Spotify on the left, FÍREFOX on the right",
       {{"Spotify", kNone, P::leftHalf}, {"Firefox", kNone, P::rightHalf}}},
      {"firefox", {{"Firefox", kNone, P::full}}},
      {"mail on the laptop", {{"Thunderbird", 1, P::full}}},
      {"Spotify maximized on the built-in", {{"Spotify", 1, P::full}}},
  };
  for (const auto& row : rows) {
    auto answer = EmbeddedAssistant::read(row.sentence, situation());
    auto* idea = std::get_if<AssistantIdea>(&answer);
    ASSERT_TRUE(idea) << row.sentence;
    EXPECT_EQ(idea->windows, row.windows) << row.sentence;
  }
}

TEST(EmbeddedAssistant, NamesTheIdeaAfterItsApps) {
  EmbeddedAssistant model;
  auto answer = model.answer(
      AssistantRequest::about("Firefox left, terminal right, firefox top", situation()));
  ASSERT_TRUE(std::holds_alternative<AssistantIdea>(answer));
  EXPECT_EQ(std::get<AssistantIdea>(answer).name, "Firefox & GNOME Terminal");
}

TEST(EmbeddedAssistant, AnswersWithATroubleWhenItCannotHelp) {
  std::string many;
  for (int i = 0; i < 17; ++i)
    many += "firefox, ";
  struct Row {
    std::string sentence;
    Kind kind;
  };
  const Row rows[] = {
      {"", Kind::other},
      {"please, on the left", Kind::other},
      {"Браузер слева", Kind::unsupportedLanguage},
      {many, Kind::tooMuch},
      {std::string(Assistant::kLongestSentence + 1, 'x'), Kind::tooMuch},
  };
  for (const auto& row : rows) {
    auto answer = EmbeddedAssistant::read(row.sentence, situation());
    auto* trouble = std::get_if<AssistantTrouble>(&answer);
    ASSERT_TRUE(trouble) << row.sentence;
    EXPECT_EQ(trouble->kind, row.kind) << row.sentence;
  }
}

}  // namespace
}  // namespace kestles
