#include "KestlesEngine/engine/SystemTiling.hpp"

#include <gtest/gtest.h>

#include "KestlesEngine/engine/StageManagerPreferences.hpp"
#include "KestlesEngine/sim/MemoryLog.hpp"
#include "KestlesEngine/sim/SimPreferences.hpp"

namespace kestles::engine {
namespace {

using platform::PreferenceValue;
using Keys = sim::SimPreferences::Keys;

constexpr const char* kWindowManager = "com.apple.WindowManager";

TEST(SystemTilingTests, IsOnWhileEitherEdgeTilingIsOnAndAnUnsetKeyIsOn) {
  struct Case {
    Keys keys;
    bool isOn;
  };
  const Case cases[] = {
      {{}, true},
      {{{"EnableTilingByEdgeDrag", false}}, true},
      {{{"EnableTilingByEdgeDrag", false}, {"EnableTopTilingByEdgeDrag", false}}, false},
      {{{"EnableTilingByEdgeDrag", 0.0}, {"EnableTopTilingByEdgeDrag", 1.0}}, true},
      {{{"EnableTilingByEdgeDrag", 0.0}, {"EnableTopTilingByEdgeDrag", 0.0}}, false},
  };
  for (const auto& c : cases) {
    sim::SimPreferences preferences;
    sim::MemoryLog log;
    preferences.setDomain(kWindowManager, c.keys);
    EXPECT_EQ(SystemTiling(preferences, log).isOn(), c.isOn) << c.keys.size();
  }
  sim::SimPreferences none;  // a desktop without the system's own tiling
  sim::MemoryLog log;
  EXPECT_FALSE(SystemTiling(none, log).isOn());
}

TEST(SystemTilingTests, TurningItOffWritesFalseAndOnRestoresTheSystemsDefault) {
  sim::SimPreferences preferences;
  sim::MemoryLog log;
  preferences.setDomain(kWindowManager, {{"Other", std::string("kept")}});
  SystemTiling tiling(preferences, log);
  tiling.set(false);
  EXPECT_EQ(preferences.stored(kWindowManager), (Keys{{"EnableTilingByEdgeDrag", false},
                                                      {"EnableTopTilingByEdgeDrag", false},
                                                      {"Other", std::string("kept")}}));
  EXPECT_FALSE(tiling.isOn());
  tiling.set(true);
  EXPECT_EQ(preferences.stored(kWindowManager), (Keys{{"Other", std::string("kept")}}));
  EXPECT_TRUE(tiling.isOn());
  EXPECT_EQ(log.records(),
            (std::vector<platform::LogRecord>{
                {platform::LogLevel::info, platform::LogCategory::engine, "macOS edge tiling off"},
                {platform::LogLevel::info, platform::LogCategory::engine, "macOS edge tiling on"},
            }));

  sim::SimPreferences none;
  sim::MemoryLog quiet;
  SystemTiling(none, quiet).set(false);
  EXPECT_FALSE(none.stored(kWindowManager));
  EXPECT_TRUE(quiet.records().empty());
}

TEST(StageManagerPreferencesTests, ReadsBothDomains) {
  using Values = StageManagerPreferences::Values;
  struct Case {
    Keys windowManager;
    std::optional<Keys> dock;
    Values expected;
  };
  const Case cases[] = {
      {{}, Keys{}, {false, false, false}},
      {{{"GloballyEnabled", true}},
       Keys{{"orientation", std::string("left")}},
       {true, false, true}},
      {{{"GloballyEnabled", true}, {"AutoHide", true}},
       Keys{{"orientation", std::string("bottom")}},
       {true, true, false}},
      {{{"GloballyEnabled", 1.0}}, std::nullopt, {true, false, false}},
  };
  for (const auto& c : cases) {
    sim::SimPreferences preferences;
    preferences.setDomain(kWindowManager, c.windowManager);
    if (c.dock) preferences.setDomain("com.apple.dock", *c.dock);
    EXPECT_EQ(StageManagerPreferences(preferences).read(), c.expected);
  }
  sim::SimPreferences none;
  EXPECT_EQ(StageManagerPreferences(none).read(), Values{});
}

TEST(StageManagerPreferencesTests, TheStripMakesWayForADockOnTheLeft) {
  using Values = StageManagerPreferences::Values;
  EXPECT_EQ((Values{true, false, true}.stageManager()), (StageManager{true, true, true}));
  EXPECT_EQ((Values{true, true, false}.stageManager()), (StageManager{true, false, false}));
}

}  // namespace
}  // namespace kestles::engine
