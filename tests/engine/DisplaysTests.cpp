#include "KestlesEngine/engine/Displays.hpp"

#include <gtest/gtest.h>

#include "EngineDesk.hpp"

namespace kestles::engine {
namespace {

TEST(DisplaysTests, ListsTheScreensAndFindsTheOneUnderThePointer) {
  sim::FakeClock clock;
  auto world = testing::smallWorld();
  sim::SimDesktop sim(world, clock);
  Displays displays(sim.screens());
  EXPECT_EQ(displays.setup(), world.setup);
  struct Case {
    std::optional<CGPoint> pointer;
    std::optional<std::string> display;
  };
  const Case cases[] = {
      {std::nullopt, std::nullopt},
      {CGPoint{10, 10}, "LEFT"},
      {CGPoint{1440, 500}, "RIGHT"},  // the right display begins where the left one ends
      {CGPoint{-5, 10}, std::nullopt},
  };
  for (const auto& c : cases) {
    sim.setMouseLocation(c.pointer);
    auto found = displays.underMouse();
    EXPECT_EQ(found ? std::optional(found->id) : std::nullopt, c.display);
  }
}

TEST(DisplaysTests, ADisplayWithoutAUUIDIsNamedByItsNumber) {
  EXPECT_EQ(Displays::displayID(std::nullopt, 69733382), "display-69733382");
  EXPECT_EQ(Displays::displayID("37D8832A-2D66-02CA-B9F7-8F30A301B230", 1),
            "37D8832A-2D66-02CA-B9F7-8F30A301B230");
}

}  // namespace
}  // namespace kestles::engine
