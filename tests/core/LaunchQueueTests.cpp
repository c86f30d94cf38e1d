#include "KestlesCore/apply/LaunchQueue.hpp"

#include <gtest/gtest.h>

#include "ApplyTestSupport.hpp"

namespace kestles {
namespace {

using namespace apply_testing;
using Move = ApplyPlan::Move;

const CGRect kLeft{8, 46, 744, 928}, kRight{760, 46, 744, 928}, kWideTile{1520, 33, 843, 1399};

LaunchQueue notesAndMail() {
  return LaunchQueue::make({{kNotes, false, {{"LAPTOP", 0, kLeft}, {"LAPTOP", 1, kRight}}},
                            {kMail, true, {{"WIDE", 0, kWideTile}}}},
                           {11, 21});
}

TEST(LaunchQueueTests, MadeFromLaunches) {
  auto queue = notesAndMail();
  EXPECT_EQ(queue.order, (std::vector<std::string>{kNotes.bundleID, kMail.bundleID}));
  EXPECT_EQ(queue.pending.at(kNotes.bundleID).size(), 2u);
  EXPECT_EQ(queue.known, (std::set<std::uint32_t>{11, 21}));
  EXPECT_TRUE(queue.withWindows.empty());
  EXPECT_FALSE(queue.isDone());
  EXPECT_TRUE(LaunchQueue::make({}, {}).isDone());
}

TEST(LaunchQueueTests, NewWindowsTakePendingTilesLowerIdsFirst) {
  auto queue = notesAndMail();
  // Listed higher id first; 11 is known; Safari's 90 has no pending tile.
  auto moves = queue.place({window(502, kNotes, 300, {}), window(501, kNotes, 300, {}),
                            window(11, kCode, 101, {}), window(90, kSafari, 102, {})});
  EXPECT_EQ(moves,
            (std::vector<Move>{{501, 300, "LAPTOP", 0, kLeft}, {502, 300, "LAPTOP", 1, kRight}}));
  EXPECT_EQ(queue.known, (std::set<std::uint32_t>{11, 21, 501, 502}));
  EXPECT_EQ(queue.withWindows, std::set<std::string>{kNotes.bundleID});
  // Nothing is placed twice, and a third Notes window finds no tile.
  EXPECT_TRUE(queue.place({window(501, kNotes, 300, {}), window(503, kNotes, 300, {})}).empty());
  EXPECT_FALSE(queue.isDone());
  queue.place({window(600, kMail, 105, {})});
  EXPECT_TRUE(queue.isDone());
}

TEST(LaunchQueueTests, WindowMinimizedWhenFirstSeenIsNeverPlaced) {
  auto queue = notesAndMail();
  auto minimized = window(501, kNotes, 300, {});
  minimized.isMinimized = true;
  auto fullScreen = window(601, kMail, 105, {});
  fullScreen.isFullScreen = true;
  EXPECT_TRUE(queue.place({minimized, fullScreen}).empty());
  minimized.isMinimized = false;
  fullScreen.isFullScreen = false;
  EXPECT_TRUE(queue.place({minimized, fullScreen}).empty());
  EXPECT_EQ(queue.withWindows, (std::set<std::string>{kNotes.bundleID, kMail.bundleID}));
  // The next window of the app still gets the first tile.
  EXPECT_EQ(queue.place({window(502, kNotes, 300, {})}),
            (std::vector<Move>{{502, 300, "LAPTOP", 0, kLeft}}));
}

TEST(LaunchQueueTests, WaitingAppsAndDropping) {
  auto queue = notesAndMail();
  auto world = worldOf({laptop()});
  EXPECT_EQ(queue.waitingApps(world), (std::vector<std::string>{kNotes.bundleID, kMail.bundleID}));
  // Mail shows a window in the world that the queue has not placed yet.
  world.windows = {window(700, kMail, 105, {})};
  EXPECT_EQ(queue.waitingApps(world), std::vector<std::string>{kNotes.bundleID});
  queue.drop(kNotes.bundleID);
  EXPECT_TRUE(queue.waitingApps(world).empty());
  EXPECT_TRUE(queue.place({window(501, kNotes, 300, {})}).empty());
  queue.drop(kMail.bundleID);
  EXPECT_TRUE(queue.isDone());
}

TEST(LaunchQueueTests, PollIntervalSteps) {
  const std::pair<double, double> rows[] = {{0, 0.2},    {2.99, 0.2}, {3, 0.5},
                                            {7.99, 0.5}, {8, 1.0},    {60, 1.0}};
  for (auto [elapsed, interval] : rows)
    EXPECT_EQ(LaunchQueue::pollInterval(elapsed), interval) << elapsed;
}

}  // namespace
}  // namespace kestles
