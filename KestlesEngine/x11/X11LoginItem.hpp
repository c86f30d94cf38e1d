#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "KestlesEngine/platform/LoginItemService.hpp"

namespace kestles::x11 {

/// Opening at login as an XDG autostart entry that starts the app.
class X11LoginItem final : public platform::LoginItemService {
 public:
  /// $XDG_CONFIG_HOME/autostart/kestles.desktop (default ~/.config/autostart/…).
  static std::filesystem::path defaultEntry();

  /// The entry at `entry` starts `program` (nothing: the running program could not be found,
  /// and registering fails).
  explicit X11LoginItem(std::filesystem::path entry = defaultEntry(),
                        std::optional<std::filesystem::path> program = std::nullopt);

  /// Enabled while the entry exists and is not turned off in it ("Hidden=true" or
  /// "X-GNOME-Autostart-enabled=false"); otherwise not registered.
  Status status() override;
  /// Writes the entry atomically, creating its folder; a failure's sentence.
  std::optional<std::string> registerItem() override;
  /// Removes the entry; there being none is no failure.
  std::optional<std::string> unregisterItem() override;
  /// Desktops have no common settings page for autostart entries: false.
  bool openSettings() override { return false; }

  /// The entry's text for a program; nothing when its path cannot be written in an Exec line
  /// (it holds a control character).
  static std::optional<std::string> entryText(const std::filesystem::path& program);

 private:
  std::filesystem::path entry_;
  std::optional<std::filesystem::path> program_;
};

}  // namespace kestles::x11
