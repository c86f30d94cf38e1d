#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string_view>

#include "KestlesCore/library/Library.hpp"
#include "KestlesCore/world/WorldFile.hpp"
#include "KestlesEngine/PlatformChoice.hpp"
#include "KestlesEngine/engine/Displays.hpp"
#include "KestlesEngine/engine/RunningApps.hpp"
#include "KestlesEngine/engine/WindowEngine.hpp"
#include "KestlesEngine/platform/ThreadTime.hpp"

namespace kestles::app {

/// Prints "kestles-app: " and the sentence, its control characters escaped, on `err`; returns
/// the failure status 1.
int fail(std::ostream& err, std::string_view sentence);

/// The library in `file`: a missing file is a new library; a damaged one is reported on `err`
/// and gives nothing.
std::optional<Library> readLibrary(const std::filesystem::path& file, std::ostream& err);

/// Hands a line to the running app, starting this program as the app when none runs; nothing
/// on success, else the sentence that says why not.
std::optional<std::string> deliverToRunningApp(const std::string& line);

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
  /// Raises one window and gives it the focus; false when it is not one of the desktop's
  /// standard windows (any more).
  bool focus(std::uint32_t window);

 private:
  DesktopSession(PlatformChoice choice, const std::filesystem::path& limitsFile);
  /// Takes a fresh snapshot and returns the window in it, or null.
  const WindowSnapshot* findNow(std::uint32_t window);

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
  World current_;  // the last snapshot `findNow` took
};

}  // namespace kestles::app
