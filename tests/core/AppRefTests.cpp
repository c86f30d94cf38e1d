#include "KestlesCore/world/AppRef.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <unordered_set>

namespace kestles {
namespace {

TEST(AppRefTests, Decoding) {
  struct Case {
    const char* json;
    std::optional<AppRef> expected;  // nothing: decoding fails
  };
  const Case cases[] = {
      {R"({"bundleID": "com.apple.Safari", "name": "Safari"})",
       AppRef{"com.apple.Safari", "Safari"}},
      {R"({"bundleID": "com.apple.Safari"})", AppRef{"com.apple.Safari", "com.apple.Safari"}},
      {R"({"bundleID": "com.apple.Safari", "name": 5})",
       AppRef{"com.apple.Safari", "com.apple.Safari"}},
      {R"({"name": "Safari"})", std::nullopt},
      {R"({"bundleID": 5})", std::nullopt},
      {"null", std::nullopt},
  };
  for (const auto& c : cases) {
    auto json = nlohmann::json::parse(c.json);
    if (c.expected)
      EXPECT_EQ(json.get<AppRef>(), *c.expected) << c.json;
    else
      EXPECT_THROW(json.get<AppRef>(), std::exception) << c.json;
  }
}

TEST(AppRefTests, EncodesBothKeysAndHashesByValue) {
  AppRef app{"org.mozilla.firefox", "Firefox"};
  EXPECT_EQ(nlohmann::json(app),
            nlohmann::json::parse(R"({"bundleID": "org.mozilla.firefox", "name": "Firefox"})"));
  std::unordered_set<AppRef> set{app, AppRef{"org.mozilla.firefox", "Firefox"},
                                 AppRef{"org.mozilla.firefox", "Fx"}};
  EXPECT_EQ(set.size(), 2u);
}

}  // namespace
}  // namespace kestles
