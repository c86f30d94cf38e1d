#include "KestlesEngine/engine/Permissions.hpp"

#include <gtest/gtest.h>

#include "KestlesEngine/sim/SimPermissions.hpp"

namespace kestles::engine {
namespace {

TEST(PermissionsTests, OnlyAskingShowsTheSystemsRequestAndOnlyWhileTheGrantIsMissing) {
  sim::SimPermissions service;
  Permissions permissions(service);
  service.setTrusted(false);
  EXPECT_FALSE(permissions.isTrusted());
  EXPECT_EQ(service.trustPrompts(), 0);
  EXPECT_FALSE(permissions.askForTrust());
  EXPECT_EQ(service.trustPrompts(), 1);

  service.setTrusted(true);  // the user granted it in the system's settings
  EXPECT_TRUE(permissions.askForTrust());
  EXPECT_TRUE(permissions.isTrusted());
  EXPECT_EQ(service.trustPrompts(), 1);

  service.setScreenRecording(false);
  EXPECT_FALSE(permissions.canRecordScreen());
  EXPECT_FALSE(permissions.askToRecordScreen());
}

TEST(PermissionsTests, EachPaneOpensItsPrivacyPage) {
  sim::SimPermissions service;
  Permissions permissions(service);
  for (auto pane : {Permissions::Pane::accessibility, Permissions::Pane::screenRecording,
                    Permissions::Pane::automation})
    EXPECT_TRUE(permissions.open(pane));
  EXPECT_EQ(service.openedURLs(),
            (std::vector<std::string>{
                "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility",
                "x-apple.systempreferences:com.apple.preference.security?Privacy_ScreenCapture",
                "x-apple.systempreferences:com.apple.preference.security?Privacy_Automation"}));
}

}  // namespace
}  // namespace kestles::engine
