#include "KestlesEngine/x11/X11KeyTimeline.hpp"

#include <gtest/gtest.h>

namespace kestles::x11 {
namespace {

TEST(X11KeyTimelineTests, PlacesServerTimesOnTheUptimeLine) {
  struct Event {
    std::uint32_t serverTime;
    double receivedAt;
    double placed;
  };
  struct Case {
    const char* name;
    std::vector<Event> events;
  };
  const Case cases[] = {
      {"the server's spacing is kept, not the receipt's",
       {{5000, 100.0, 100.0}, {5250, 100.4, 100.25}, {5300, 100.41, 100.3}}},
      {"across the 32-bit wrap", {{0xFFFF'FF00, 50.0, 50.0}, {0x0000'0064, 50.5, 50.356}}},
      {"same millisecond: in order of arrival",
       {{7000, 10.0, 10.0}, {7000, 10.0005, 10.001}, {7001, 10.002, 10.002}}},
      {"an event from the future re-anchors",
       {{1000, 20.0, 20.0}, {9000, 20.1, 20.1}, {9100, 20.2, 20.2}}},
      {"one lagging beyond a second re-anchors",
       {{1000, 30.0, 30.0}, {1100, 31.5, 31.5}, {1150, 31.6, 31.55}}},
  };
  for (const auto& c : cases) {
    X11KeyTimeline timeline;
    for (std::size_t i = 0; i < c.events.size(); ++i) {
      const auto& event = c.events[i];
      EXPECT_NEAR(timeline.place(event.serverTime, event.receivedAt), event.placed, 1e-9)
          << c.name << " #" << i;
    }
  }
}

}  // namespace
}  // namespace kestles::x11
