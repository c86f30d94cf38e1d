#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "KestlesEngine/platform/Workspace.hpp"
#include "KestlesEngine/x11/DesktopEntries.hpp"
#include "KestlesEngine/x11/X11Connection.hpp"
#include "KestlesEngine/x11/X11Desktop.hpp"

namespace kestles::x11 {

/// What the layer's parts share: the one connection that makes requests, used by one caller
/// at a time under `lock()`, and the desktop entries, scanned again when an applications
/// folder changes.
class X11Session {
 public:
  explicit X11Session(std::unique_ptr<X11Connection> connection)
      : connection_(std::move(connection)) {}

  /// Held while using `connection()`; the engine calls in from several threads.
  std::unique_lock<std::recursive_mutex> lock() { return std::unique_lock(mutex_); }
  X11Connection& connection() { return *connection_; }

  /// The shown desktop entries as they are now.
  DesktopEntries entries();

 private:
  std::recursive_mutex mutex_;
  std::unique_ptr<X11Connection> connection_;
  std::mutex entriesMutex_;
  DesktopEntries entries_;
  std::map<std::filesystem::path, std::filesystem::file_time_type> scanned_;
  bool everScanned_ = false;
};

/// The apps owning a desktop's app windows (`isAppWindow`, on any desktop), one per pid in
/// the order their first window was mapped; windows that name no process belong to none.
/// Identity: the desktop entry matching the first window, else its WM_CLASS class (name
/// "An app" without one). The handle is the pid: one process is one app. Reads the first
/// windows' identities (one round trip).
std::vector<platform::RunningApplication> applicationsOf(X11Connection& connection,
                                                         Desktop& desktop,
                                                         const DesktopEntries& entries);

/// Whether the process exists: signal 0 succeeds or is refused for permission.
bool processAlive(std::int32_t pid);

}  // namespace kestles::x11
