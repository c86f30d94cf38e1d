#include "KestlesCore/apply/Arrival.hpp"

#include <gtest/gtest.h>

#include "ApplyTestSupport.hpp"

namespace kestles {
namespace {

using namespace apply_testing;

std::vector<ApplyPlan::Launch> launches() {
  return {{kNotes, false, {{"LAPTOP", 1, {}}, {"WIDE", 0, {}}}}, {kMail, true, {{"WIDE", 2, {}}}}};
}

TEST(ApplyArrivalTests, WaitsForEveryPendingTileInLaunchOrder) {
  auto arrival = Arrival::make(launches());
  std::vector<Arrival::Waiting> expected{
      {kNotes, {"LAPTOP", 1}}, {kNotes, {"WIDE", 0}}, {kMail, {"WIDE", 2}}};
  EXPECT_EQ(arrival.waiting, expected);
  EXPECT_TRUE(arrival.failures.empty());
  EXPECT_EQ(arrival.apps(), (std::vector<AppRef>{kNotes, kMail}));
}

TEST(ApplyArrivalTests, FilledSpotsLeave) {
  auto arrival = Arrival::make(launches());
  // A move to WIDE's tile 0 fills Notes' second spot; LAPTOP's tile 0 is no one's.
  auto removed = arrival.filled({{7, 1, "WIDE", 0, {}}, {8, 1, "LAPTOP", 0, {}}});
  EXPECT_EQ(removed, (std::vector<Arrival::Waiting>{{kNotes, {"WIDE", 0}}}));
  EXPECT_EQ(arrival.waiting.size(), 2u);
  EXPECT_TRUE(arrival.filled({}).empty());
}

TEST(ApplyArrivalTests, FailedAppsLeaveWithARecord) {
  auto arrival = Arrival::make(launches());
  arrival.failed(kNotes.bundleID);
  EXPECT_EQ(arrival.failures, std::vector<AppRef>{kNotes});
  EXPECT_EQ(arrival.apps(), std::vector<AppRef>{kMail});
  // An app that is not waiting (any more) changes nothing.
  auto before = arrival;
  arrival.failed(kNotes.bundleID);
  arrival.failed("org.example.Unknown");
  EXPECT_EQ(arrival, before);
}

}  // namespace
}  // namespace kestles
