#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "KestlesEngine/platform/Accessibility.hpp"

namespace kestles::platform {

/// The accessibility observers of a layer whose notifications come from an event thread of
/// its own: what each observer asked for, on which element, and the delivery to them. Safe
/// from any thread.
class AXObservers {
 public:
  /// A new observer of the process's notifications.
  AXObserverID create(std::int32_t pid, AXNotificationHandler handler);
  /// Registers the notification on the element for the observer: -25201 for an unknown
  /// observer, -25202 when `elementIsValid` is false (the layer tells), -25209 when it is
  /// registered already.
  AXErrorCode add(AXObserverID observer, AXElement element, bool elementIsValid,
                  std::string_view name);
  /// Once this returns, the observer's handler is not running and never runs again.
  void remove(AXObserverID observer);
  /// Calls the handlers of the observers of `pid` that asked for the notification on the
  /// app's element or on the window's, with the window, outside the observers' lock (a
  /// handler may register more).
  void deliver(std::int32_t pid, AXElement app, AXElement window, std::string_view name);

 private:
  struct Observer {
    std::int32_t pid = 0;
    AXNotificationHandler handler;
    std::set<std::pair<std::uint64_t, std::string>> registered;  // (element, notification)
  };

  std::recursive_mutex deliveryMutex_;  // held while handlers run
  std::mutex mutex_;
  std::map<std::uint64_t, Observer> observers_;
  std::uint64_t next_ = 1;
};

}  // namespace kestles::platform
