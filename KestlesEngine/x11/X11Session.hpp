#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
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
  /// Shared, not copied: a snapshot asks for them on every command.
  std::shared_ptr<const DesktopEntries> entries();

  /// How long one read of the whole desktop serves the reads that follow it (a snapshot
  /// asks for every app's windows and every window's attributes one by one).
  static constexpr std::chrono::milliseconds kDesktopFresh{200};

  /// The desktop with its clients' identities, read again once older than `kDesktopFresh`
  /// or after any change (`invalidate`). Hold the lock while using it.
  const Desktop& desktop();
  /// The client as the shared desktop read has it, while that read is fresh; nothing when
  /// it is not (or does not list the window): then read the window itself. A copy, because
  /// the next `desktop()` may read the desktop again and drop the shared one.
  std::optional<ClientWindow> freshClient(xcb_window_t window);
  /// Forgets the shared read: the layer changed something, or the event thread saw a change.
  /// Any thread.
  void invalidate() { ++generation_; }

  /// Whether the app still exists: its process (`processAlive`), or for a stand-in pid, a
  /// window of its connection that the desktop still lists. Takes the lock.
  bool appExists(std::int32_t pid);

 private:
  bool isFresh() const;

  std::recursive_mutex mutex_;
  std::unique_ptr<X11Connection> connection_;
  std::mutex entriesMutex_;
  std::shared_ptr<const DesktopEntries> entries_ = std::make_shared<DesktopEntries>();
  std::map<std::filesystem::path, std::filesystem::file_time_type> scanned_;
  bool everScanned_ = false;
  std::atomic<std::uint64_t> generation_{1};
  std::uint64_t readGeneration_ = 0;
  Clock::time_point readAt_;
  Desktop desktop_;
};

/// The apps owning a desktop's app windows (`isAppWindow`, on any desktop), one per pid in
/// the order their first window was mapped; the windows that name no process form one app
/// per connection that made them (see `standInPID`).
/// Identity: the desktop entry matching the first window, else its WM_CLASS class (name
/// "An app" without one). The handle is the pid: one process is one app. Reads the first
/// windows' identities (one round trip).
std::vector<platform::RunningApplication> applicationsOf(X11Connection& connection,
                                                         Desktop& desktop,
                                                         const DesktopEntries& entries);

/// Whether the process exists: signal 0 succeeds or is refused for permission. False for a
/// stand-in pid, which names no process.
bool processAlive(std::int32_t pid);

}  // namespace kestles::x11
