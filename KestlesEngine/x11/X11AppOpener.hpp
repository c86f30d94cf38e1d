#pragma once

#include "KestlesEngine/platform/AppOpener.hpp"
#include "KestlesEngine/x11/X11Session.hpp"

namespace kestles::x11 {

/// Apps are desktop entries: an app's location is its entry file, and opening it runs the
/// entry's `Exec` line (field codes removed) detached from this process, in a session of its
/// own, with a startup-notification id in `DESKTOP_STARTUP_ID`. An app without an entry is
/// its program, run the same way.
class X11AppOpener final : public platform::AppOpener {
 public:
  explicit X11AppOpener(X11Session& session) : session_(session) {}

  /// The entry file of the app's desktop entry, found by id or window class, else its
  /// program on PATH (`DesktopEntries::locate`).
  std::optional<std::filesystem::path> applicationURL(const std::string& bundleID) override;
  /// Starts the entry; a sentence when the file cannot be read, names no program, or the
  /// program cannot be started. `activates` is left to the window manager: the startup id
  /// carries no timestamp, so it applies its own focus rules to the new window.
  std::optional<std::string> open(const std::filesystem::path& app, bool activates) override;

 private:
  X11Session& session_;
};

/// Runs the program detached (a grandchild in a new session, so nothing is left to reap),
/// with `environment` added; nothing on success, else the reason in a sentence.
std::optional<std::string> startDetached(const std::vector<std::string>& argv,
                                         const std::vector<std::string>& environment);

}  // namespace kestles::x11
