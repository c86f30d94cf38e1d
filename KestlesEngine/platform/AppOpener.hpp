#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kestles::platform {

/// Finds and opens apps.
class AppOpener {
 public:
  virtual ~AppOpener() = default;
  /// Where the app with this bundle identifier is installed; nothing when it is not.
  virtual std::optional<std::filesystem::path> applicationURL(const std::string& bundleID) = 0;
  /// Opens the app without bringing it to the front (`activates` false) or with; the
  /// error's description when the platform refuses.
  virtual std::optional<std::string> open(const std::filesystem::path& app, bool activates) = 0;
};

}  // namespace kestles::platform
