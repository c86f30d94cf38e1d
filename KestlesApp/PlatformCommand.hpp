#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string_view>

#include "KestlesCore/world/WorldFile.hpp"
#include "KestlesEngine/PlatformChoice.hpp"
#include "KestlesEngine/engine/Displays.hpp"
#include "KestlesEngine/engine/RunningApps.hpp"
#include "KestlesEngine/engine/WindowEngine.hpp"
#include "KestlesEngine/platform/ThreadTime.hpp"

namespace kestles::app {

/// Prints "kestles-app: " and the sentence on `err`; returns the failure status 1.
int fail(std::ostream& err, std::string_view sentence);

/// A log on standard error that keeps messages at `minimum` and above (for one command, the
/// default level; the running app also keeps info).
class CommandLog final : public platform::LogSink {
 public:
  explicit CommandLog(platform::LogLevel minimum = platform::LogLevel::notice)
      : minimum_(minimum) {}
  void write(const platform::LogRecord& record) override;

 private:
  platform::LogLevel minimum_;
  platform::StreamLog stream_{stderr};
};

/// The chosen desktop with the engine over it, for one command.
class DesktopSession {
 public:
  /// The session on the chosen desktop; nothing (and the reason printed on `err`) when there
  /// is none. The engine keeps its learned size limits in `limitsFile` (empty: none).
  static std::unique_ptr<DesktopSession> open(std::ostream& err,
                                              const std::filesystem::path& limitsFile);
  ~DesktopSession();

  /// What the desktop shows now, in the world file's form: the engine's snapshot of the
  /// running apps on the displays, the focused window and the installed apps.
  WorldFile world();
  /// Moves one window's outer frame (no glide) and returns where it landed; nothing when
  /// the window is not one of the desktop's standard windows or could not be moved.
  std::optional<CGRect> place(std::uint32_t window, const CGRect& frame);

 private:
  DesktopSession(PlatformChoice choice, const std::filesystem::path& limitsFile);

  PlatformChoice choice_;
  platform::LayerParts parts_;
  CommandLog log_;
  platform::SteadyClock clock_;
  platform::ThreadTimers timers_{clock_};
  platform::SerialQueue queue_;
  platform::ThreadParallelFor parallel_;
  engine::WindowEngine engine_;
  engine::RunningApps apps_;
  engine::Displays displays_;
};

}  // namespace kestles::app
