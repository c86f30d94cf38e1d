#include "KestlesEngine/engine/DoubleControlMonitor.hpp"

#include <gtest/gtest.h>

#include "EngineDesk.hpp"

namespace kestles::engine {
namespace {

using platform::seconds;

constexpr std::uint16_t kLeftControl = 59;
constexpr std::uint16_t kRightControl = 62;
constexpr std::uint16_t kLeftShift = 56;
constexpr std::uint64_t kControl = 0x40000;
constexpr std::uint64_t kShift = 0x20000;
constexpr std::uint64_t kCapsLock = 0x10000;

// One step of a script: wait, then a modifier change or other input.
struct Step {
  double wait;
  std::uint16_t keyCode;
  std::uint64_t flags;
  bool otherInput = false;
};

int taps(const std::vector<Step>& script) {
  sim::FakeClock clock;
  sim::SimDesktop sim(testing::smallWorld(), clock);
  int count = 0;
  DoubleControlMonitor monitor(sim.inputMonitor(), [&] { ++count; });
  monitor.start();
  clock.advance(seconds(100));
  for (const auto& step : script) {
    clock.advance(seconds(step.wait));
    if (step.otherInput)
      sim.input(platform::InputKind::keyDown);
    else
      sim.changeFlags(step.keyCode, step.flags);
  }
  return count;
}

TEST(DoubleControlMonitorTests, RecognisesTwoShortPressesOfControlAlone) {
  struct Case {
    const char* name;
    std::vector<Step> script;
    int taps;
  };
  const Step down{0.1, kLeftControl, kControl};
  const Step up{0.1, kLeftControl, 0};
  const Case cases[] = {
      {"a double tap", {down, up, down, up}, 1},
      {"with the right Control key and Caps Lock on",
       {{0.1, kRightControl, kControl | kCapsLock},
        {0.1, kRightControl, kCapsLock},
        {0.1, kRightControl, kControl | kCapsLock},
        {0.1, kRightControl, kCapsLock}},
       1},
      {"just inside the limits",
       {down, {0.249, kLeftControl, 0}, {0.299, kLeftControl, kControl}, {0.249, kLeftControl, 0}},
       1},
      // Held 0.3 s: not a tap; the release leaves the detector idle.
      {"a long first press", {down, {0.3, kLeftControl, 0}, down, up}, 0},
      // The second press 0.31 s after the release starts a new attempt, completed by two more.
      {"a long pause", {down, up, {0.31, kLeftControl, kControl}, up}, 0},
      {"a long pause, then a tap", {down, up, {0.31, kLeftControl, kControl}, up, down, up}, 1},
      // Control with Shift is other modifiers, never a Control tap.
      {"with Shift",
       {{0.1, kLeftShift, kShift},
        {0.1, kLeftControl, kControl | kShift},
        {0.1, kLeftControl, kShift},
        {0.1, kLeftControl, kControl | kShift},
        {0.1, kLeftControl, kShift}},
       0},
      {"a key typed in between", {down, up, {0.05, 0, 0, true}, down, up}, 0},
      {"a key typed before the first press", {{0.05, 0, 0, true}, down, up, down, up}, 1},
      {"three taps", {down, up, down, up, down, up}, 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(taps(c.script), c.taps) << c.name;
}

TEST(DoubleControlMonitorTests, HearsNothingOnceStopped) {
  sim::FakeClock clock;
  sim::SimDesktop sim(testing::smallWorld(), clock);
  int count = 0;
  DoubleControlMonitor monitor(sim.inputMonitor(), [&] { ++count; });
  monitor.start();
  monitor.stop();
  for (auto flags : {kControl, std::uint64_t{0}, kControl, std::uint64_t{0}}) {
    clock.advance(seconds(0.1));
    sim.changeFlags(kLeftControl, flags);
  }
  EXPECT_EQ(count, 0);
}

}  // namespace
}  // namespace kestles::engine
