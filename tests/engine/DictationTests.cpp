#include "KestlesEngine/engine/Dictation.hpp"

#include <gtest/gtest.h>

#include "KestlesEngine/sim/SimPreferences.hpp"

namespace kestles::engine {
namespace {

TEST(DictationTests, UsesDoubleControlOnlyWhenTheEntryIsOnAndIsControl) {
  struct Case {
    const char* name;
    const char* hotKeys;  // the "AppleSymbolicHotKeys" dictionary; null: missing
    bool expected;
  };
  const Case cases[] = {
      {"on, Control",
       R"({"164": {"enabled": true, "value": {"type": "modifier", "parameters": [262144, 0]}}})",
       true},
      {"enabled kept as 1",
       R"({"164": {"enabled": 1, "value": {"type": "modifier", "parameters": [262144]}}})", true},
      {"off",
       R"({"164": {"enabled": false, "value": {"type": "modifier", "parameters": [262144]}}})",
       false},
      {"Command",
       R"({"164": {"enabled": true, "value": {"type": "modifier", "parameters": [1048576]}}})",
       false},
      {"a standard shortcut",
       R"({"164": {"enabled": true, "value": {"type": "standard", "parameters": [262144]}}})",
       false},
      {"no parameters",
       R"({"164": {"enabled": true, "value": {"type": "modifier", "parameters": []}}})", false},
      {"parameters of another type",
       R"({"164": {"enabled": true, "value": {"type": "modifier", "parameters": "262144"}}})",
       false},
      {"no value", R"({"164": {"enabled": true}})", false},
      {"no enabled", R"({"164": {"value": {"type": "modifier", "parameters": [262144]}}})", false},
      {"enabled as text",
       R"({"164": {"enabled": "true", "value": {"type": "modifier", "parameters": [262144]}}})",
       false},
      {"no entry", R"({"32": {"enabled": true}})", false},
      {"not a dictionary", R"([1, 2])", false},
      {"no dictionary", nullptr, false},
  };
  for (const auto& c : cases) {
    sim::SimPreferences preferences;
    if (c.hotKeys)
      preferences.setDomain("com.apple.symbolichotkeys",
                            {{"AppleSymbolicHotKeys", nlohmann::json::parse(c.hotKeys)}});
    EXPECT_EQ(Dictation(preferences).usesDoubleControl(), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace kestles::engine
