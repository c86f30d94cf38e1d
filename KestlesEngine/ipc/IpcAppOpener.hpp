#pragma once

#include "KestlesEngine/ipc/IpcSession.hpp"
#include "KestlesEngine/platform/AppOpener.hpp"
#include "KestlesEngine/x11/X11Catalog.hpp"

namespace kestles::ipc {

/// Apps are desktop entries, as on X11, but they start through the compositor's `exec`: the
/// new window then opens on the workspace in front, where the engine waits for it, and the
/// app is the compositor's child rather than Kestles's.
class IpcAppOpener final : public platform::AppOpener {
 public:
  IpcAppOpener(IpcSession& session, x11::X11Catalog& catalog)
      : session_(session), catalog_(catalog) {}

  /// The entry file of the desktop entry with this id.
  std::optional<std::filesystem::path> applicationURL(const std::string& bundleID) override;
  /// A sentence when the entry cannot be read or names no program, or the compositor refuses.
  std::optional<std::string> open(const std::filesystem::path& app, bool activates) override;

 private:
  IpcSession& session_;
  x11::X11Catalog& catalog_;
};

}  // namespace kestles::ipc
