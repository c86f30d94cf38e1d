#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "KestlesEngine/platform/Platform.hpp"
#include "KestlesEngine/x11/DesktopEntries.hpp"
#include "KestlesEngine/x11/X11Connection.hpp"
#include "KestlesEngine/x11/X11Desktop.hpp"

namespace kestles::x11 {

/// Turns a desktop read from the server into the standard windows of the current desktop
/// and their apps: apps grouped by pid (a window without one by its app identity), in the
/// order their first window was mapped; identity from the desktop entry when one matches,
/// else the WM_CLASS class; z-order front to back over the on-screen windows, the others
/// behind them in read order; limits are outer sizes. The desktop's standard windows must
/// carry their identities (see `readIdentities`).
platform::WindowList windowList(const Desktop& desktop, const X11Connection& connection,
                                const DesktopEntries& entries);

/// The X11 session: every platform service over one connection, used by one caller at a
/// time (calls are serialized).
class X11Platform final : public platform::DesktopServices {
 public:
  /// Connects to `display` (nothing: $DISPLAY); nothing when the server cannot be reached.
  static std::unique_ptr<X11Platform> open(const std::optional<std::string>& display = {});

  std::vector<DisplayInfo> displays() override;
  std::vector<AppSnapshot> runningApps() override;
  std::vector<AppRef> installedApps() override;
  platform::WindowList windows() override;
  std::vector<std::optional<CGRect>> place(std::span<const platform::WindowMove> moves) override;
  bool setMinimized(std::uint32_t window, bool minimized) override;
  bool raise(std::uint32_t window) override;
  bool focus(std::uint32_t window) override;
  bool setFullScreen(std::uint32_t window, bool fullScreen) override;

  /// Round trips made so far on the connection.
  std::uint64_t roundTrips() const { return connection_->roundTrips(); }

 private:
  explicit X11Platform(std::unique_ptr<X11Connection> connection);
  /// The desktop entries, scanned again when an applications folder changed.
  const DesktopEntries& entries();

  std::mutex mutex_;
  std::unique_ptr<X11Connection> connection_;
  DesktopEntries entries_;
  std::map<std::filesystem::path, std::filesystem::file_time_type> scanned_;
  bool everScanned_ = false;
};

}  // namespace kestles::x11
