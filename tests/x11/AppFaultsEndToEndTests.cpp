#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/x11/support/AppDesk.hpp"

namespace kestles {
namespace {

using testing::allApart;
using testing::AppDesk;

/// The app outlives a misbehaving window and arranges the well-behaved ones afterwards.
struct FaultCase {
  const char* name;
  bool windowManager;
  std::vector<std::string> troublemaker;
  /// The window manager restarts before the app is asked again.
  bool restartsManager = false;
};

class AppFaultsEndToEndTests : public ::testing::TestWithParam<FaultCase> {};

TEST_P(AppFaultsEndToEndTests, KeepsWorkingAfterTheFault) {
  const auto& fault = GetParam();
  auto desk = AppDesk::start({fault.windowManager, false});
  if (!desk) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto first = desk->session().openWindows({"--pos", "40,60", "--size", "400x300"});
  auto second = desk->session().openWindows({"--pos", "120,140", "--size", "400x300"});
  std::vector<xcb_window_t> ids{first.id(), second.id()};
  if (!fault.troublemaker.empty()) {
    auto trouble = desk->session().openWindows(fault.troublemaker);
    desk->kestles({"tile"});  // may report the troublemaker's failure
    ASSERT_TRUE(desk->appRunning());
  }
  if (fault.restartsManager) {
    ASSERT_TRUE(desk->session().restartWindowManager());
    // A restarting manager takes the windows back and may move them while it does.
    ASSERT_TRUE(desk->waitForSettledFrames(
        ids, [&](const auto&) { return desk->session().isManaged(first.id()); }));
  }
  ASSERT_EQ(desk->kestles({"tile"}), 0);
  EXPECT_TRUE(desk->waitForFrames(ids, allApart));
  EXPECT_TRUE(desk->appRunning());
}

INSTANTIATE_TEST_SUITE_P(Faults, AppFaultsEndToEndTests,
                         ::testing::Values(FaultCase{"VanishesWhenMoved",
                                                     true,
                                                     {"--pos", "200,220", "--size", "300x200",
                                                      "--vanish-when-resized"}},
                                           FaultCase{"NoWindowManager", false, {}},
                                           FaultCase{"WindowManagerRestarts", true, {}, true}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace kestles
