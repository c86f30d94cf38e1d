#include <gtest/gtest.h>

#include "tests/x11/support/AppDesk.hpp"

namespace kestles {
namespace {

using testing::AppDesk;

TEST(AppLifetimeTests, AnXServerThatGoesAwayEndsTheAppWithOneLineAndStatusOne) {
  auto desk = AppDesk::start({true, true});
  if (!desk) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto windows = desk->session().openWindows({"--pos", "40,60", "--size", "400x300"});
  ASSERT_EQ(desk->kestles({"tile"}), 0);

  desk->session().stopServer();
  EXPECT_EQ(desk->app().wait(std::chrono::seconds(10)), 1);
  auto log = desk->app().errorOutput();
  EXPECT_NE(log.find("The desktop went away, so Kestles stops."), std::string::npos) << log;
}

}  // namespace
}  // namespace kestles
