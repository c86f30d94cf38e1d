#include "KestlesEngine/engine/HotKeys.hpp"

#include <gtest/gtest.h>

#include "EngineDesk.hpp"

namespace kestles::engine {
namespace {

using testing::smallWorld;

constexpr std::uint32_t kCommand = 256;

struct KeyDesk {
  KeyDesk() : sim(smallWorld(), clock), keys(sim.hotKeyService(), log) {}
  std::optional<std::uint32_t> add(std::uint32_t keyCode) {
    return keys.add(keyCode, kCommand, [this, keyCode] { pressed.push_back(keyCode); });
  }
  std::size_t registered() { return sim.hotKeys().size(); }

  sim::FakeClock clock;
  sim::MemoryLog log;
  sim::SimDesktop sim;
  HotKeys keys;
  std::vector<std::uint32_t> pressed;
};

TEST(HotKeysTests, RegistersUnderSignedIdsAndRunsTheActionOfAPress) {
  KeyDesk desk;
  EXPECT_EQ(desk.add(0), 1u);
  EXPECT_EQ(desk.add(1), 2u);
  for (const auto& [ref, entry] : desk.sim.hotKeys())
    EXPECT_EQ(std::get<2>(entry).signature, 0x4B73746Cu);
  EXPECT_EQ(desk.sim.press(1, kCommand), 0);
  EXPECT_EQ(desk.pressed, std::vector<std::uint32_t>{1});
  desk.keys.remove(1);
  EXPECT_EQ(desk.sim.press(0, kCommand), std::nullopt);
  EXPECT_EQ(desk.registered(), 1u);
  // Without an event the handler declines; an unreadable event gives its own status.
  EXPECT_EQ(desk.keys.handle(nullptr), -9874);
  platform::HotKeyService::Event unreadable{std::nullopt, -9870};
  EXPECT_EQ(desk.keys.handle(&unreadable), -9870);
}

TEST(HotKeysTests, AFailedRegistrationIsLoggedAndItsIdOfferedAgain) {
  KeyDesk desk;
  desk.sim.refuseHotKey(0, kCommand, -9878);
  EXPECT_EQ(desk.add(0), std::nullopt);
  EXPECT_EQ(desk.add(1), 1u);
  EXPECT_TRUE(desk.keys.shortcuts().size() == 1 && desk.keys.shortcuts().contains(1));
  EXPECT_EQ(
      desk.log.records(),
      (std::vector<platform::LogRecord>{{platform::LogLevel::error, platform::LogCategory::hotkeys,
                                         "Couldn’t take Super+A: another program holds it."}}));
}

TEST(HotKeysTests, SuspensionsAreCounted) {
  KeyDesk desk;
  desk.add(0);
  desk.keys.suspend();
  desk.keys.suspend();
  EXPECT_EQ(desk.registered(), 0u);
  // Registered while suspended: recorded only.
  EXPECT_EQ(desk.add(1), 2u);
  EXPECT_EQ(desk.registered(), 0u);
  desk.keys.resume();
  EXPECT_EQ(desk.registered(), 0u);  // two suspends, one resume
  desk.keys.resume();
  EXPECT_EQ(desk.registered(), 2u);
  EXPECT_TRUE(desk.keys.isRegistered(1) && desk.keys.isRegistered(2));
  desk.keys.resume();  // one too many: ignored
  EXPECT_EQ(desk.keys.suspensions(), 0);
  desk.keys.suspend();
  EXPECT_EQ(desk.registered(), 0u);
  EXPECT_EQ(desk.sim.press(0, kCommand), std::nullopt);
}

}  // namespace
}  // namespace kestles::engine
