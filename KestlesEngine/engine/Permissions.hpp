#pragma once

#include <string>
#include <string_view>

#include "KestlesEngine/platform/PermissionService.hpp"

namespace kestles::engine {

/// The accessibility and screen-recording grants, and the settings panes that give them.
/// Main thread only.
class Permissions {
 public:
  /// A privacy pane of the system's settings.
  enum class Pane { accessibility, screenRecording, automation };

  explicit Permissions(platform::PermissionService& service) : service_(service) {}

  /// Whether windows of other apps may be read and moved; never asks the user.
  bool isTrusted() { return service_.isProcessTrusted(false); }
  /// Asks the system to show its request for the grant (it does so only while the grant is
  /// missing); the answer as it is now.
  bool askForTrust() { return service_.isProcessTrusted(true); }
  bool canRecordScreen() { return service_.canRecordScreen(); }
  bool askToRecordScreen() { return service_.requestScreenRecording(); }
  /// Opens the pane; false when nothing opened it.
  bool open(Pane pane) { return service_.openURL(settingsURL(pane)); }

  /// The pane's anchor in the system's settings ("Privacy_Accessibility", …).
  static std::string_view anchor(Pane pane);
  /// "x-apple.systempreferences:com.apple.preference.security?" and the pane's anchor.
  static std::string settingsURL(Pane pane);

 private:
  platform::PermissionService& service_;
};

}  // namespace kestles::engine
