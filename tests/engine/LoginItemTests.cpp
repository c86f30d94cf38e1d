#include "KestlesEngine/engine/LoginItem.hpp"

#include <gtest/gtest.h>

#include "KestlesEngine/sim/MemoryLog.hpp"
#include "KestlesEngine/sim/SimLoginItem.hpp"

namespace kestles::engine {
namespace {

using platform::LogCategory;
using platform::LogLevel;
using platform::LogRecord;
using Status = platform::LoginItemService::Status;
using State = LoginItem::State;

struct LoginDesk {
  sim::SimLoginItem service;
  sim::MemoryLog log;
  LoginItem item{service, log};
};

TEST(LoginItemTests, TheStateFollowsTheSystemsStatus) {
  const std::pair<Status, State> cases[] = {{Status::notRegistered, State::off},
                                            {Status::enabled, State::on},
                                            {Status::requiresApproval, State::needsApproval},
                                            {Status::notFound, State::off}};
  LoginDesk desk;
  for (auto [status, state] : cases) {
    desk.service.setStatus(status);
    EXPECT_EQ(desk.item.state(), state) << int(status);
  }
}

TEST(LoginItemTests, TurningItOnAndOffLogsEachChange) {
  LoginDesk desk;
  EXPECT_EQ(desk.item.set(true), State::on);
  EXPECT_EQ(desk.item.set(false), State::off);
  desk.service.requireApproval(true);
  EXPECT_EQ(desk.item.set(true), State::needsApproval);
  EXPECT_EQ(desk.log.records(), (std::vector<LogRecord>{
                                    {LogLevel::info, LogCategory::engine, "Open at login on"},
                                    {LogLevel::info, LogCategory::engine, "Open at login off"},
                                    {LogLevel::info, LogCategory::engine, "Open at login on"},
                                }));
}

TEST(LoginItemTests, AFailureIsLoggedAndTheStateIsTheSystems) {
  LoginDesk desk;
  desk.service.failNext("Operation not permitted");
  EXPECT_EQ(desk.item.set(true), State::off);
  desk.service.setStatus(Status::enabled);
  desk.service.failNext("Invalid argument");
  EXPECT_EQ(desk.item.set(false), State::on);
  EXPECT_EQ(desk.log.records(), (std::vector<LogRecord>{
                                    {LogLevel::error, LogCategory::engine,
                                     "Turning open at login on failed: Operation not permitted"},
                                    {LogLevel::error, LogCategory::engine,
                                     "Turning open at login off failed: Invalid argument"},
                                }));
}

}  // namespace
}  // namespace kestles::engine
