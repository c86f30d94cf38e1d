#include "KestlesCore/assistant/Assistant.hpp"

#include <gtest/gtest.h>

#include "AssistantTestSupport.hpp"
#include "KestlesCore/assistant/AssistantModel.hpp"

namespace kestles {
namespace {

using namespace assistant_testing;
using P = AssistantPlace;

TEST(Assistant, TellsTheModelTheDisplaysLeftToRightAndTheApps) {
  EXPECT_EQ(situation().text(),
            "Displays, numbered left to right:\n"
            "1. Built-in Retina Display (built-in)\n"
            "2. Studio Display (the one in use)\n"
            "Open apps: Firefox, Visual Studio Code, GNOME Terminal\n"
            "Other apps: Alacritty, Thunderbird");
}

TEST(Assistant, MarksTheFallbackInUseAndSaysNoneWithoutApps) {
  auto lonely = world();
  lonely.apps.clear();
  lonely.activeDisplayID = "GONE";  // no such display: the setup's own choice, the main one
  EXPECT_EQ(Assistant::Situation::of(lonely, {}).text(),
            "Displays, numbered left to right:\n"
            "1. Built-in Retina Display (built-in, the one in use)\n"
            "2. Studio Display\n"
            "Open apps: none");
}

TEST(Assistant, KeepsEveryNameOnItsOwnLine) {
  // A name with line breaks must not add lines that read like the system's own.
  auto odd = world();
  odd.setup.displays[0].name = "Studio\nOpen apps: none";
  odd.apps = {{1, "org.example.tricky",
               "Tricky\r\nOther apps:\tEvil\xE2\x80\xA8"
               "App",
               false}};
  EXPECT_EQ(Assistant::Situation::of(odd, {}).text(),
            "Displays, numbered left to right:\n"
            "1. Built-in Retina Display (built-in)\n"
            "2. Studio Open apps: none (the one in use)\n"
            "Open apps: Tricky Other apps: Evil App");
}

TEST(Assistant, MatchesAppNamesByTheNameRuleThenByBundleID) {
  auto apps = situation().knownApps();
  struct Row {
    const char* name;
    const char* bundleID;  // null: no match
  };
  const Row rows[] = {
      {"firefox", "org.mozilla.firefox"},
      {" FÍREFOX ", "org.mozilla.firefox"},
      {"Visual", "code"},
      {"code", "code"},
      {"terminal", "org.gnome.Terminal"},
      {"org.mozilla.thunderbird", "org.mozilla.Thunderbird"},
      {"Spotify", nullptr},
      {"", nullptr},
      {"mozilla", nullptr},
  };
  for (const auto& row : rows) {
    auto app = Assistant::matchApp(row.name, apps);
    if (!row.bundleID)
      EXPECT_FALSE(app) << row.name;
    else
      EXPECT_EQ(app ? app->bundleID : "", row.bundleID) << row.name;
  }
}

/// The screens of the kestle's only arrangement.
const std::vector<KestleScreen>& screens(const Kestle& kestle) {
  EXPECT_EQ(kestle.arrangements.size(), 1u);
  return kestle.arrangements.at("BUILTIN+STUDIO").screens;
}

std::vector<std::string> pinned(const KestleScreen& screen) {
  std::vector<std::string> names;
  for (const auto& pin : screen.pins)
    names.push_back(pin ? pin->name : "");
  return names;
}

TEST(Assistant, PinsEachAppToTheTileOfItsPlaceOnItsDisplay) {
  AssistantIdea idea{"Work",
                     {{"GNOME Terminal", std::nullopt, P::rightThird},
                      {"code", 9, P::leftTwoThirds},  // no display 9: the one in use
                      {"Firefox", 1, P::full}}};
  auto result = Assistant::convert(idea, situation());
  EXPECT_EQ(result.kestle.name, "Work");
  EXPECT_TRUE(result.unknown.empty());
  const auto& all = screens(result.kestle);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0].display.displayID, "BUILTIN");
  EXPECT_EQ(pinned(all[0]), std::vector<std::string>{"Firefox"});
  EXPECT_EQ(all[1].display.displayID, "STUDIO");
  // Tiles in order left to right, whatever the order of the idea.
  EXPECT_EQ(pinned(all[1]), (std::vector<std::string>{"Visual Studio Code", "GNOME Terminal"}));
  const auto* tree = all[1].shape.treeNode();
  ASSERT_TRUE(tree);
  EXPECT_EQ(tree->split, Split::columns);
  ASSERT_EQ(tree->children.size(), 2u);
  EXPECT_DOUBLE_EQ(tree->children[0].weight, 4);  // sixths of the display
  EXPECT_DOUBLE_EQ(tree->children[1].weight, 2);
}

TEST(Assistant, KeepsEmptyRoomAsSpacersAndDrawsPlacesThatOverlap) {
  AssistantIdea corner{
      "", {{"Firefox", std::nullopt, P::topLeft}, {"Thunderbird", std::nullopt, P::rightHalf}}};
  auto result = Assistant::convert(corner, situation());
  EXPECT_EQ(result.kestle.name, "Firefox & Thunderbird");  // a nameless idea
  const auto& shape = screens(result.kestle).at(0).shape;
  ASSERT_TRUE(shape.treeNode());
  const auto& left = shape.treeNode()->children.at(0);
  ASSERT_EQ(left.children.size(), 2u);  // Firefox above, room below
  EXPECT_TRUE(left.children[0].isTile());
  EXPECT_TRUE(left.children[1].isSpacer);

  AssistantIdea stacked{"Stacked", {{"Firefox", 2, P::full}, {"Alacritty", 2, P::center}}};
  auto overlapping = Assistant::convert(stacked, situation());
  const auto& drawn = screens(overlapping.kestle).at(0);
  ASSERT_TRUE(drawn.shape.drawnTiles());
  EXPECT_EQ(drawn.shape.drawnTiles()->at(1).unit, unitRect(P::center));
  EXPECT_EQ(pinned(drawn), (std::vector<std::string>{"Firefox", "Alacritty"}));
}

TEST(Assistant, ReportsUnknownAppsAndStillBuildsTheRest) {
  AssistantIdea idea{"Mixed", {{"Spotify", 1, P::leftHalf}, {"Firefox", 1, P::rightHalf}}};
  auto result = Assistant::convert(idea, situation());
  EXPECT_EQ(result.unknown, std::vector<std::string>{"Spotify"});
  EXPECT_EQ(pinned(screens(result.kestle).at(0)), std::vector<std::string>{"Firefox"});

  AssistantIdea strangers{"Nobody", {{"Spotify", 1, P::full}, {"Slack", std::nullopt, P::full}}};
  auto none = Assistant::convert(strangers, situation());
  EXPECT_EQ(none.unknown, (std::vector<std::string>{"Spotify", "Slack"}));
  EXPECT_TRUE(none.kestle.arrangements.empty());
  EXPECT_EQ(none.kestle.name, "Nobody");
}

TEST(Assistant, EveryModelIsHeldToTheLimits) {
  // A model server's idea of ten thousand windows was saved as a kestle, and a sentence five
  // times the longest was sent to it: only the embedded model kept to the limits.
  struct Canned final : AssistantModel {
    AssistantAnswer reply;
    int asked = 0;
    explicit Canned(AssistantAnswer answer) : reply(std::move(answer)) {}
    AssistantAnswer answer(const AssistantRequest&) override {
      ++asked;
      return reply;
    }
  };
  auto windows = [](std::size_t count, std::string app = "Firefox") {
    return std::vector<AssistantIdea::Window>(count, {std::move(app), 1, P::full});
  };
  auto tooMuch = AssistantTrouble::of(AssistantTrouble::Kind::tooMuch);
  auto other = AssistantTrouble::of(AssistantTrouble::Kind::other);
  std::string longest(Assistant::kLongestName, 'a');
  std::string accented;  // two bytes a character: the limit counts characters
  for (std::size_t i = 0; i < Assistant::kLongestName; ++i)
    accented += "é";
  struct Row {
    const char* what;
    AssistantIdea idea;
    std::optional<AssistantTrouble> trouble;  // nothing: the idea comes through
  };
  const Row rows[] = {
      {"the most windows", {"Many", windows(Assistant::kMostWindows)}, std::nullopt},
      {"one window more", {"Many", windows(Assistant::kMostWindows + 1)}, tooMuch},
      {"ten thousand", {"Many", windows(10'000, "Nobody")}, tooMuch},
      {"the longest names", {longest, windows(1, accented)}, std::nullopt},
      {"a name too long", {longest + "a", windows(1)}, other},
      {"an app's name too long", {"Long", windows(1, accented + "é")}, other},
  };
  auto request = AssistantRequest::about("Firefox full", situation());
  for (const auto& row : rows) {
    Canned model(row.idea);
    EXPECT_EQ(ask(model, request),
              row.trouble ? AssistantAnswer(*row.trouble) : AssistantAnswer(row.idea))
        << row.what;
  }

  // A sentence past the limit reaches no model; one at the limit does.
  Canned model(AssistantIdea{"One", windows(1)});
  request.sentence = std::string(Assistant::kLongestSentence + 1, 'x');
  EXPECT_EQ(ask(model, request), AssistantAnswer(tooMuch));
  EXPECT_EQ(model.asked, 0);
  request.sentence.pop_back();
  EXPECT_EQ(ask(model, request), AssistantAnswer(AssistantIdea{"One", windows(1)}));
  EXPECT_EQ(model.asked, 1);
}

}  // namespace
}  // namespace kestles
