#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>

#include <nlohmann/json_fwd.hpp>

#include "KestlesEngine/ipc/IpcConnection.hpp"
#include "KestlesEngine/ipc/IpcTree.hpp"
#include "KestlesEngine/platform/Workspace.hpp"

namespace kestles::ipc {

/// What the layer's event thread tells the parts.
struct IpcListener {
  /// An accessibility notification about a window of a pid.
  std::function<void(std::int32_t pid, std::uint32_t window, std::string_view name)> window;
  std::function<void(const platform::WorkspaceNotification&)> workspace;
  /// The displays may have changed.
  std::function<void()> displays;
  /// The compositor went away; called once.
  std::function<void()> gone;
  /// The tree now, for events that do not say enough themselves (nothing: not read).
  std::function<std::optional<IpcTree>()> tree;
  /// Any event came: what was read before may be out of date. Called by the event thread
  /// before the event is handled.
  std::function<void()> changed;
  /// A key binding ran this command (unset: binding events are ignored).
  std::function<void(std::string_view command)> binding = {};
  /// The compositor reloaded its config, dropping the bindings made over the socket (unset:
  /// ignored).
  std::function<void()> reloaded = {};
  /// Names the apps of a window event's window as the trees read name them (unset: by the
  /// compositor's ids).
  std::function<void(IpcTree&)> appNames = {};
};

/// Turns the compositor's events into the engine's notifications: a window event's change
/// and the windows known before it give the accessibility and workspace notifications (an
/// app launches with its first window and terminates with its last), a workspace switch is
/// a Space change, and output events change the displays. Pure, so that it can be tested
/// without a compositor.
class IpcEventTranslator {
 public:
  IpcEventTranslator(IpcListener listener, const IpcTree& start);
  /// Handles one event's type (without the event bit) and payload; false when it said that
  /// the compositor is shutting down.
  bool handle(std::uint32_t type, const std::string& payload);

 private:
  void handleWindow(const nlohmann::json& event);

  IpcListener listener_;
  std::map<std::uint32_t, std::int32_t> windows_;  // window → pid
  std::set<std::uint32_t> minimized_;
};

/// The thread that reads events on a connection of its own and hands them to a translator.
class IpcEvents {
 public:
  /// Subscribes on a second connection and starts the thread; nothing when that fails.
  static std::unique_ptr<IpcEvents> start(const std::string& path, const IpcTree& start,
                                          IpcListener listener);
  /// Stops the thread and waits for it.
  ~IpcEvents();

 private:
  IpcEvents() = default;
  void run();

  std::unique_ptr<IpcConnection> connection_;
  std::unique_ptr<IpcEventTranslator> translator_;
  std::function<void()> gone_;
  std::function<void()> changed_;
  int wake_[2] = {-1, -1};
  std::thread thread_;
};

}  // namespace kestles::ipc
