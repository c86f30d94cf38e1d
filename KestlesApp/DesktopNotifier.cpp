#include <systemd/sd-bus.h>

#include <string>

#include "KestlesApp/Notifier.hpp"
#include "KestlesEngine/platform/ThreadTime.hpp"

namespace kestles::app {
namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
// A notification service that does not answer within this long is treated as absent for
// that notice; the log has it either way.
constexpr std::uint64_t kCallTimeoutMicroseconds = 1'000'000;
constexpr std::int32_t kShownMilliseconds = 5000;

/// The session bus, or null when the session has none.
sd_bus* openSessionBus() {
  sd_bus* bus = nullptr;
  if (sd_bus_open_user(&bus) < 0) return nullptr;
  sd_bus_set_method_call_timeout(bus, kCallTimeoutMicroseconds);
  return bus;
}

class DesktopNotifier final : public Notifier {
 public:
  explicit DesktopNotifier(platform::LogSink& log) : log_(log) {}
  ~DesktopNotifier() override {
    // The queue's thread ends first (it runs what is queued), then the bus goes.
    queue_.sync([] {});
    if (bus_ != nullptr) sd_bus_flush_close_unref(bus_);
  }

  void notify(const std::string& title, const std::string& body) override {
    log_.write({platform::LogLevel::notice, platform::LogCategory::engine,
                body.empty() ? title : title + ": " + body});
    queue_.async([this, title, body] { show(title, body); });
  }

 private:
  void show(const std::string& title, const std::string& body) {
    if (!triedBus_) {
      triedBus_ = true;
      bus_ = openSessionBus();
    }
    if (bus_ == nullptr) return;
    sd_bus_error error{nullptr, nullptr, 0};  // what SD_BUS_ERROR_NULL spells in C
    sd_bus_message* reply = nullptr;
    int result = sd_bus_call_method(bus_, kService, kPath, kService, "Notify", &error, &reply,
                                    "susssasa{sv}i", "Kestles", shownID_, "", title.c_str(),
                                    body.c_str(), 0, 0, kShownMilliseconds);
    // The next notice takes this one's place rather than stacking under it.
    std::uint32_t id = 0;
    if (result >= 0 && sd_bus_message_read(reply, "u", &id) > 0) shownID_ = id;
    if (result < 0 && !reportedFailure_) {
      reportedFailure_ = true;
      log_.write({platform::LogLevel::info, platform::LogCategory::engine,
                  std::string("Notices go to the log only: ") +
                      (error.message != nullptr ? error.message : "no notification service")});
    }
    sd_bus_error_free(&error);
    sd_bus_message_unref(reply);
  }

  platform::LogSink& log_;
  sd_bus* bus_ = nullptr;
  bool triedBus_ = false;
  bool reportedFailure_ = false;
  std::uint32_t shownID_ = 0;  // the service's id of the notice shown last; 0: none
  platform::SerialQueue queue_;
};

}  // namespace

std::unique_ptr<Notifier> makeDesktopNotifier(platform::LogSink& log) {
  return std::make_unique<DesktopNotifier>(log);
}

}  // namespace kestles::app
