#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <thread>

#include "KestlesApp/Notifier.hpp"
#include "KestlesEngine/sim/MemoryLog.hpp"
#include "tests/support/ScopedEnvironment.hpp"
#include "tests/support/ToolProcess.hpp"

extern char** environ;

namespace kestles::app {
namespace {

using namespace std::chrono_literals;

/// A private session bus, for as long as the value lives.
class PrivateBus {
 public:
  explicit PrivateBus(const std::filesystem::path& folder)
      : address_("unix:path=" + (folder / "bus").string()) {
    std::string program = "dbus-daemon";
    std::string option = "--address=" + address_;
    char session[] = "--session";
    char nofork[] = "--nofork";
    char* arguments[] = {program.data(), session, nofork, option.data(), nullptr};
    posix_spawnp(&pid_, "dbus-daemon", nullptr, nullptr, arguments, environ);
    for (int tries = 0; tries < 200 && !std::filesystem::exists(folder / "bus"); ++tries)
      std::this_thread::sleep_for(10ms);
  }
  ~PrivateBus() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  const std::string& address() const { return address_; }

 private:
  std::string address_;
  pid_t pid_ = 0;
};

/// Owns the notification service's name on the bus and records what it is asked to show.
class FakeNotificationService {
 public:
  FakeNotificationService() {
    sd_bus_open_user(&bus_);
    sd_bus_add_object_vtable(bus_, nullptr, "/org/freedesktop/Notifications",
                             "org.freedesktop.Notifications", kVTable, this);
    sd_bus_request_name(bus_, "org.freedesktop.Notifications", 0);
    thread_ = std::thread([this] {
      while (!stopping_) {
        if (sd_bus_process(bus_, nullptr) > 0) continue;
        sd_bus_wait(bus_, 20'000);
      }
    });
  }
  ~FakeNotificationService() {
    stopping_ = true;
    thread_.join();
    sd_bus_flush_close_unref(bus_);
  }
  std::vector<std::pair<std::string, std::string>> shown() {
    std::lock_guard lock(mutex_);
    return shown_;
  }
  /// The id each notice asked to replace, in order (0: none).
  std::vector<std::uint32_t> replaced() {
    std::lock_guard lock(mutex_);
    return replaced_;
  }

 private:
  static int notify(sd_bus_message* message, void* self, sd_bus_error*) {
    const char* app = nullptr;
    std::uint32_t replaces = 0;
    const char* icon = nullptr;
    const char* summary = nullptr;
    const char* body = nullptr;
    sd_bus_message_read(message, "susss", &app, &replaces, &icon, &summary, &body);
    auto* service = static_cast<FakeNotificationService*>(self);
    {
      std::lock_guard lock(service->mutex_);
      service->shown_.emplace_back(summary, body);
      service->replaced_.push_back(replaces);
    }
    // A service gives a new id to every notice that replaces none.
    return sd_bus_reply_method_return(message, "u", replaces != 0 ? replaces : ++service->next_);
  }
  static constexpr sd_bus_vtable kVTable[] = {
      SD_BUS_VTABLE_START(0),
      SD_BUS_METHOD("Notify", "susssasa{sv}i", "u", notify, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_VTABLE_END};

  sd_bus* bus_ = nullptr;
  std::atomic<bool> stopping_ = false;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::pair<std::string, std::string>> shown_;
  std::vector<std::uint32_t> replaced_;
  std::uint32_t next_ = 40;
};

/// The fake notification service on a private session bus, which this process's notifiers
/// reach.
struct ServiceOnBus {
  testing::TemporaryFolder folder;
  PrivateBus bus{folder.path()};
  testing::ScopedEnvironment environment{{"DBUS_SESSION_BUS_ADDRESS", bus.address().c_str()}};
  FakeNotificationService service;
};

TEST(DesktopNotifierTests, ShowsEachNoticeOnTheDesktopAndInTheLog) {
  ServiceOnBus desktop;
  auto& service = desktop.service;
  sim::MemoryLog log;
  {
    auto notifier = makeDesktopNotifier(log);
    notifier->notify("Imported", "1 kestle");
    notifier->notify("Built-in connected", "");
  }  // the notifier finishes what it was given before it goes
  EXPECT_EQ(service.shown(), (std::vector<std::pair<std::string, std::string>>{
                                 {"Imported", "1 kestle"}, {"Built-in connected", ""}}));
  ASSERT_EQ(log.records().size(), 2u);
  EXPECT_EQ(log.records()[0].message, "Imported: 1 kestle");
}

TEST(DesktopNotifierTests, ANoticeTakesThePlaceOfTheOneBefore) {
  // Every notice used to ask for a new place (replaces-id 0), so a few commands stacked a
  // column of notices on the desktop.
  ServiceOnBus desktop;
  sim::MemoryLog log;
  {
    auto notifier = makeDesktopNotifier(log);
    notifier->notify("Kestles", "No window is focused.");
    notifier->notify("Tile Windows", "Super+Z undoes it.");
    notifier->notify("Kestles", "The window already stands there.");
  }
  EXPECT_EQ(desktop.service.replaced(), (std::vector<std::uint32_t>{0, 41, 41}));
}

TEST(DesktopNotifierTests, WithoutANotificationServiceTheLogStillHasEveryNotice) {
  testing::TemporaryFolder folder;
  testing::ScopedEnvironment environment{
      {"DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + (folder.path() / "none").string()).c_str()}};
  sim::MemoryLog log;
  {
    auto notifier = makeDesktopNotifier(log);
    notifier->notify("Kestles", "There’s nothing to undo.");
  }
  ASSERT_FALSE(log.records().empty());
  EXPECT_EQ(log.records()[0].message, "Kestles: There’s nothing to undo.");
}

}  // namespace
}  // namespace kestles::app
