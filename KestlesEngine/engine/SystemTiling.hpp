#pragma once

#include <string_view>

#include "KestlesEngine/platform/LogSink.hpp"
#include "KestlesEngine/platform/SystemPreferences.hpp"

namespace kestles::engine {

/// The system's own tiling of windows dragged to a screen edge, which gets in the way of
/// dragging windows into zones. Main thread only.
class SystemTiling {
 public:
  static constexpr std::string_view kDomain = "com.apple.WindowManager";
  static constexpr std::string_view kEdgeKey = "EnableTilingByEdgeDrag";
  static constexpr std::string_view kTopEdgeKey = "EnableTopTilingByEdgeDrag";
  /// The settings page where the user turns it on or off.
  static constexpr std::string_view kSettingsURL =
      "x-apple.systempreferences:com.apple.Desktop-Settings.extension";

  SystemTiling(platform::SystemPreferences& preferences, platform::LogSink& log)
      : preferences_(preferences), log_(log) {}

  /// Whether either kind of edge tiling is on; a key that is not set is on, as the system's
  /// default is. Off on a platform that has no such tiling.
  bool isOn();
  /// Turns both kinds off (writing false) or back on (removing the keys, so that the
  /// system's default applies), and logs "macOS edge tiling on" or "… off" (info). Nothing
  /// happens on a platform that has no such tiling.
  void set(bool on);

 private:
  platform::SystemPreferences& preferences_;
  platform::LogSink& log_;
};

}  // namespace kestles::engine
