#include "KestlesEngine/x11/X11Placement.hpp"

#include <gtest/gtest.h>

#include "tests/x11/support/XSession.hpp"

namespace kestles::x11 {
namespace {

using testing::XSession;

TEST(X11Placement, Smoke) {
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto windows = session->openWindows({"--pos", "10,10", "--size", "300x200"});
  ASSERT_EQ(windows.ids.size(), 1u);
  auto connection = X11Connection::open(session->display());
  ASSERT_TRUE(connection);
  auto desktop = readDesktop(*connection);
  ASSERT_TRUE(desktop.hasWindowManager);
  ASSERT_EQ(desktop.clients.size(), 1u);
  Placement placement{windows.id(), {100, 120, 500, 400}};
  auto landed = placeWindows(*connection, std::span(&placement, 1));
  ASSERT_TRUE(landed[0]);
  EXPECT_EQ(*landed[0], (Box{100, 120, 500, 400}));
  auto frame = session->frameOf(windows.id());
  ASSERT_TRUE(frame);
  EXPECT_EQ(*frame, (testing::Frame{100, 120, 500, 400}));
}

}  // namespace
}  // namespace kestles::x11
