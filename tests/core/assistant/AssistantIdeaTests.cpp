#include "KestlesCore/assistant/AssistantIdea.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {
namespace {

TEST(AssistantIdea, ReadsTheModelsStructureDroppingDamagedWindowsOnly) {
  auto answer = nlohmann::json::parse(R"({"name": "Focus", "windows": [
    {"app": "Firefox", "place": "leftTwoThirds"},
    {"app": "Terminal", "display": 2, "place": "rightThird"},
    {"app": "Mail", "place": "sideways"},
    {"place": "full"},
    {"app": "Notes", "display": null, "place": "center"}]})");
  AssistantIdea expected{"Focus",
                         {{"Firefox", std::nullopt, AssistantPlace::leftTwoThirds},
                          {"Terminal", 2, AssistantPlace::rightThird},
                          {"Notes", std::nullopt, AssistantPlace::center}}};
  EXPECT_EQ(answer.get<AssistantIdea>(), expected);
  EXPECT_EQ(nlohmann::json(expected).get<AssistantIdea>(), expected);
  EXPECT_NE(std::hash<AssistantIdea>{}(expected),
            std::hash<AssistantIdea>{}(AssistantIdea{"Focus", {}}));
  EXPECT_THROW(nlohmann::json::parse(R"({"name": "No windows"})").get<AssistantIdea>(),
               coding::DecodeError);
}

}  // namespace
}  // namespace kestles
