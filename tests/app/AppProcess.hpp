#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "KestlesLink/FileDescriptor.hpp"

namespace kestles::testing {

/// A running `kestles-app` on a simulated desktop, serving links in a runtime folder of its own
/// that also holds its data, settings and state; stopped and reaped when the value goes.
class AppProcess {
 public:
  /// What becomes of the app's standard error.
  enum class Errors { discarded, captured };

  /// Starts the app with XDG_RUNTIME_DIR at `runtime`; `changes` add to its environment or,
  /// with an empty value, unset a variable.
  explicit AppProcess(const std::filesystem::path& runtime, Errors errors = Errors::discarded,
                      const std::map<std::string, std::string>& changes = {});
  ~AppProcess();
  AppProcess(const AppProcess&) = delete;
  AppProcess& operator=(const AppProcess&) = delete;

  pid_t pid() const { return pid_; }
  /// Waits until the app answers on its socket; false when it does not within 10 s.
  bool waitUntilListening() const;
  /// Its exit status once it ended (waits at most `bound`); nothing while it still runs.
  std::optional<int> exitStatus(std::chrono::milliseconds bound = std::chrono::milliseconds(0));
  /// Asks it to stop (SIGTERM) and reaps it; kills it when it does not stop within 5 s.
  void stop();
  /// With captured errors: closes the reading end, so that nobody reads its log any more.
  void closeErrors() { errors_.reset(); }
  /// With captured errors: everything it wrote on standard error, once it has ended.
  std::string errorsToEnd();

 private:
  std::filesystem::path socket_;
  link::FileDescriptor errors_;
  pid_t pid_ = -1;
  std::optional<int> status_;
};

/// The environment an app started with XDG_RUNTIME_DIR at `runtime` gets beside the caller's:
/// its folders there, the simulated desktop of a laptop, no X display and no session bus (an
/// empty value unsets). A tool run with it reaches that app.
std::map<std::string, std::string> appEnvironment(const std::filesystem::path& runtime);

/// The socket that an app with XDG_RUNTIME_DIR at `runtime` listens on.
std::filesystem::path socketIn(const std::filesystem::path& runtime);

/// A connection to the socket at `path`; closed when it cannot be made.
link::FileDescriptor connectClient(const std::filesystem::path& path);

/// Sends `text` (all of it, ignoring a peer that left) on a connected socket.
void sendText(int socket, const std::string& text);

/// The next line that comes back on a connected socket, without its line feed; nothing when
/// none comes within 10 s or the socket closes first.
std::optional<std::string> replyLine(int socket);

/// Whether anything (data or the end) is waiting to be read on a socket right now.
bool hasPendingInput(int socket);

/// Connects, sends one line and returns the reply line ("" when none came).
std::string ask(const std::filesystem::path& path, const std::string& line);

}  // namespace kestles::testing
