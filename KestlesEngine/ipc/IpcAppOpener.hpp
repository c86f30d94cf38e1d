#pragma once

#include "KestlesEngine/ipc/IpcSession.hpp"
#include "KestlesEngine/platform/AppOpener.hpp"
#include "KestlesEngine/x11/DesktopEntries.hpp"
#include "KestlesEngine/x11/X11Catalog.hpp"

namespace kestles::ipc {

/// Names each window's app by the desktop entry it belongs to, as the X11 layer does, so that
/// an app opened from its entry is known by the same id when its window comes: the Wayland app
/// id as an entry id (GTK apps take theirs from it), else as a window class (StartupWMClass,
/// then the entry id with case ignored). A window without an entry keeps the compositor's id.
void nameApps(IpcTree& tree, const x11::DesktopEntries& entries);

/// Apps are desktop entries, as on X11, but they start through the compositor's `exec`: the
/// new window then opens on the workspace in front, where the engine waits for it, and the
/// app is the compositor's child rather than Kestles's.
class IpcAppOpener final : public platform::AppOpener {
 public:
  IpcAppOpener(IpcSession& session, x11::X11Catalog& catalog)
      : session_(session), catalog_(catalog) {}

  /// The entry file of the desktop entry with this id, else of the entry the id names as an
  /// app id or window class, else a program of that name on the PATH.
  std::optional<std::filesystem::path> applicationURL(const std::string& bundleID) override;
  /// A sentence when the entry cannot be read or names no program, or the compositor refuses.
  /// A program found without an entry is run as it is.
  std::optional<std::string> open(const std::filesystem::path& app, bool activates) override;

 private:
  IpcSession& session_;
  x11::X11Catalog& catalog_;
};

}  // namespace kestles::ipc
