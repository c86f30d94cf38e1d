#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "KestlesCore/display/DisplayInfo.hpp"
#include "KestlesEngine/ipc/IpcConnection.hpp"
#include "KestlesEngine/ipc/IpcTree.hpp"

namespace kestles::ipc {

/// What one command of a `run_command` gave: success, or the compositor's reason.
struct CommandResult {
  bool success = false;
  std::string error;
  bool operator==(const CommandResult&) const = default;
};

/// The results of a `run_command` reply, one per command (commands are separated by `;`).
std::vector<CommandResult> parseCommandResults(const std::string& reply);

/// The request connection shared by the layer's parts. The tree read last serves the reads
/// after it while it is under 200 ms old and nothing has changed since: every command sent
/// and every event the event thread sees forgets it (a drag sends no event, hence the age).
/// A snapshot of many windows then costs one round trip, not one per attribute.
class IpcSession {
 public:
  /// Renames the apps of a tree's windows (from the compositor's app ids to the ids the
  /// installed apps have).
  using AppNames = std::function<void(IpcTree& tree)>;

  explicit IpcSession(std::unique_ptr<IpcConnection> connection)
      : connection_(std::move(connection)) {}

  /// Sets how every tree read from now on names its apps (unset: by the compositor's ids).
  void setAppNames(AppNames names);

  /// The windows and which workspaces are shown, in one round trip; nothing when the
  /// compositor is gone.
  std::optional<IpcTree> tree();
  /// The displays, in one round trip; empty when the compositor is gone.
  std::vector<DisplayInfo> displays();
  /// Runs the commands (one `run_command`); nothing when the compositor is gone.
  std::optional<std::vector<CommandResult>> run(const std::string& commands);
  /// The text of the config the compositor loaded last; nothing when the compositor is gone
  /// or its reply holds none.
  std::optional<std::string> config();
  /// Forgets the kept tree; called for every event.
  void invalidate();
  /// Whether the request connection still stands.
  bool alive();
  std::uint64_t roundTrips();

 private:
  std::mutex mutex_;
  std::unique_ptr<IpcConnection> connection_;
  AppNames appNames_;
  std::optional<IpcTree> kept_;  // under the mutex
  std::chrono::steady_clock::time_point keptAt_;
};

}  // namespace kestles::ipc
