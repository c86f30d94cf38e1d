#pragma once

#include "KestlesEngine/platform/LogSink.hpp"
#include "KestlesEngine/platform/LoginItemService.hpp"

namespace kestles::engine {

/// Opening the app at login. Main thread only.
class LoginItem {
 public:
  enum class State { on, off, needsApproval };

  LoginItem(platform::LoginItemService& service, platform::LogSink& log)
      : service_(service), log_(log) {}

  /// The system's status: enabled is `on`, requires approval `needsApproval`, else `off`.
  State state();
  /// Registers (on) or unregisters the item and logs how it went ("engine" category); a
  /// failure changes nothing here. Returns the state as the system reports it afterwards.
  State set(bool on);
  /// Opens the system's login-item settings (where an item that needs approval gets it).
  bool openSettings() { return service_.openSettings(); }

 private:
  platform::LoginItemService& service_;
  platform::LogSink& log_;
};

}  // namespace kestles::engine
