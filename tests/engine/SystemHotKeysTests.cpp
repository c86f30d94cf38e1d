#include "KestlesEngine/engine/SystemHotKeys.hpp"

#include <gtest/gtest.h>

#include "KestlesEngine/sim/MemoryLog.hpp"
#include "KestlesEngine/sim/SimKeyboard.hpp"

namespace kestles::engine {
namespace {

using Entry = SystemHotKeys::Entry;
using Value = platform::SymbolicHotKeySource::Value;

constexpr std::uint32_t kControl = 0x40000;
constexpr std::uint32_t kCommand = 0x100000;
constexpr std::uint32_t kShift = 0x20000;

struct Fixture {
  Fixture() {
    keyboard.setEntryPoints(true, true);
    // Mission Control (⌃↑), Move left a space (⌃←, off), a screenshot (⌘⇧3).
    keyboard.setShortcut(32, {0xFFFF, 126, kControl}, true);
    keyboard.setShortcut(79, {0xFFFF, 123, kControl}, false);
    keyboard.setShortcut(28, {'3', 20, kCommand | kShift}, true);
  }
  sim::SimKeyboard keyboard;
  sim::MemoryLog log;
  SystemHotKeys hotKeys{keyboard, log};
};

TEST(SystemHotKeysTests, ReadsTheShortcutsThatHaveAKey) {
  Fixture f;
  f.keyboard.setShortcut(60, {0xFFFF, 0xFFFF, 0}, true);  // no key set
  f.keyboard.failShortcut(61, -1);                        // the read fails
  const std::int32_t ids[] = {28, 32, 60, 61, 79, 200};
  EXPECT_EQ(f.hotKeys.current(ids),
            (std::vector<Entry>{
                {28, {20, {KeyModifiers::shift | KeyModifiers::command}}, kCommand | kShift, true},
                {32, {126, {KeyModifiers::control}}, kControl, true},
                {79, {123, {KeyModifiers::control}}, kControl, false},
            }));
}

TEST(SystemHotKeysTests, WithoutTheEntryPointsReportsAndChangesNothing) {
  Fixture f;
  f.keyboard.setEntryPoints(false, false);
  const std::int32_t ids[] = {28, 32};
  const std::int64_t changes[] = {28, 32};
  EXPECT_TRUE(f.hotKeys.current(ids).empty());
  EXPECT_TRUE(f.hotKeys.setEnabled(changes, false).empty());
  EXPECT_FALSE(f.hotKeys.setEnabled(32, false));
  EXPECT_TRUE(f.keyboard.switches().empty());
  EXPECT_TRUE(f.keyboard.isOn(32));
}

TEST(SystemHotKeysTests, TurnsShortcutsOffAndLogsTheOnesThatChanged) {
  Fixture f;
  f.keyboard.refuseSwitch(28, 1000);
  // Unknown 500 fails; an id beyond 32 bits is never passed on.
  const std::int64_t ids[] = {79, 32, 28, 500, 0x1'0000'0020};
  EXPECT_EQ(f.hotKeys.setEnabled(ids, false), (std::set<std::int64_t>{32, 79}));
  EXPECT_EQ(f.keyboard.switches(), (std::vector<std::pair<std::int32_t, bool>>{
                                       {79, false}, {32, false}, {28, false}, {500, false}}));
  EXPECT_FALSE(f.keyboard.isOn(32));
  EXPECT_TRUE(f.keyboard.isOn(28));
  EXPECT_EQ(
      f.log.records(),
      (std::vector<platform::LogRecord>{{platform::LogLevel::info, platform::LogCategory::hotkeys,
                                         "Turned off macOS shortcuts [32, 79]"}}));

  const std::int64_t back[] = {32};
  f.log.clear();
  EXPECT_EQ(f.hotKeys.setEnabled(back, true), (std::set<std::int64_t>{32}));
  EXPECT_EQ(f.log.records().at(0).message, "Turned on macOS shortcuts [32]");
}

TEST(SystemHotKeysTests, AnEmptyListLogsNothingAndOneIdSaysWhetherItWorked) {
  Fixture f;
  EXPECT_TRUE(f.hotKeys.setEnabled(std::span<const std::int64_t>{}, true).empty());
  EXPECT_TRUE(f.log.records().empty());
  EXPECT_TRUE(f.hotKeys.setEnabled(79, true));
  EXPECT_TRUE(f.keyboard.isOn(79));
  EXPECT_FALSE(f.hotKeys.setEnabled(-0x8000'0001LL, true));
  f.keyboard.refuseSwitch(28, 1000);
  EXPECT_FALSE(f.hotKeys.setEnabled(28, false));
  EXPECT_TRUE(f.log.records().empty());
}

}  // namespace
}  // namespace kestles::engine
