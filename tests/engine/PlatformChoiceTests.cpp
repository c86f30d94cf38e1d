#include "KestlesEngine/PlatformChoice.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace kestles {
namespace {

/// Sets or clears environment variables for one test and restores them afterwards.
class ScopedEnvironment {
 public:
  ScopedEnvironment(std::initializer_list<std::pair<const char*, const char*>> values) {
    for (auto [name, value] : values) {
      const char* old = std::getenv(name);
      saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
      if (value)
        setenv(name, value, 1);
      else
        unsetenv(name);
    }
  }
  ~ScopedEnvironment() {
    for (auto& [name, value] : saved_)
      if (value)
        setenv(name.c_str(), value->c_str(), 1);
      else
        unsetenv(name.c_str());
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

const std::string kWorld = std::string(KESTLES_FIXTURES) + "/worlds/two-displays.json";

TEST(PlatformChoiceTests, ChoiceFollowsTheEnvironment) {
  struct Case {
    const char* platform;
    const char* display;
    const char* world;
    std::optional<PlatformKind> kind;  // nothing: an error sentence
  };
  const Case cases[] = {
      {nullptr, nullptr, nullptr, std::nullopt},  // none, with the no-desktop sentence
      {"sim", nullptr, kWorld.c_str(), PlatformKind::sim},
      {"sim", ":0", kWorld.c_str(), PlatformKind::sim},
      {"sim", nullptr, nullptr, std::nullopt},
      {"sim", nullptr, "/nonexistent.json", std::nullopt},
      {"x11", nullptr, nullptr, std::nullopt},
      {"x11", ":65000", nullptr, std::nullopt},  // nothing listens there
      {nullptr, ":65000", nullptr, std::nullopt},
      {"wayland", nullptr, nullptr, std::nullopt},
      {"ipc", ":65000", nullptr, std::nullopt},  // no sway or i3 socket is set
  };
  for (const auto& c : cases) {
    ScopedEnvironment environment{{"KESTLES_PLATFORM", c.platform},
                                  {"DISPLAY", c.display},
                                  {"KESTLES_SIM_WORLD", c.world},
                                  {"SWAYSOCK", nullptr},
                                  {"I3SOCK", nullptr}};
    auto choice = choosePlatform();
    std::string label =
        std::string(c.platform ? c.platform : "-") + " " + (c.display ? c.display : "-");
    if (c.kind) {
      ASSERT_TRUE(choice.layer) << label << ": " << choice.error;
      EXPECT_EQ(choice.kind, *c.kind) << label;
    } else {
      EXPECT_FALSE(choice.layer) << label;
      ASSERT_FALSE(choice.error.empty()) << label;
      EXPECT_EQ(choice.error.back(), '.') << label;
    }
  }
}

TEST(PlatformChoiceTests, WithoutADesktopTheSentenceSaysHowToGetOne) {
  ScopedEnvironment environment{{"KESTLES_PLATFORM", nullptr},
                                {"DISPLAY", nullptr},
                                {"KESTLES_SIM_WORLD", nullptr},
                                {"SWAYSOCK", nullptr},
                                {"I3SOCK", nullptr}};
  auto choice = choosePlatform();
  EXPECT_EQ(choice.kind, PlatformKind::none);
  EXPECT_EQ(choice.error, noDesktopMessage());
}

}  // namespace
}  // namespace kestles
