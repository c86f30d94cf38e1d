#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "KestlesEngine/ipc/IpcCommands.hpp"
#include "KestlesEngine/ipc/IpcSession.hpp"
#include "KestlesEngine/platform/AXObservers.hpp"
#include "KestlesEngine/platform/Accessibility.hpp"

namespace kestles::ipc {

/// How the layer spells its elements in `AXElement::raw`: the kind in bits 32 and up, the
/// value in the low 32 bits (an app's pid, a window's container id). Raw 0 is no element.
namespace element {
enum class Kind : std::uint64_t { none = 0, systemWide = 1, app = 2, window = 3 };
inline platform::AXElement make(Kind kind, std::uint32_t value = 0) {
  return {(static_cast<std::uint64_t>(kind) << 32) | value};
}
inline Kind kindOf(platform::AXElement element) {
  auto kind = element.raw >> 32;
  return kind <= 3 ? static_cast<Kind>(kind) : Kind::none;
}
inline std::uint32_t valueOf(platform::AXElement element) {
  return static_cast<std::uint32_t>(element.raw);
}
inline platform::AXElement window(std::uint32_t id) {
  return make(Kind::window, id);
}
}  // namespace element

/// Windows that the compositor names no process for (i3 does not) each stand for an app of
/// their own: this plus the container id, above every pid Linux gives out.
inline constexpr std::int32_t kFirstStandInPID = 1 << 30;

/// How commands name the window.
commands::Target targetOf(const IpcWindow& window);

/// The window's pid, or its stand-in when the compositor names none.
std::int32_t pidOf(const IpcWindow& window);

/// The accessibility interface over the compositor's tree. Windows are the client containers
/// on shown workspaces and in the scratchpad (minimized); apps are their processes. Every
/// change is a `run_command`, and what landed is read back from the tree that the compositor
/// has already updated when it answers, so nothing waits for a quiet period.
///
/// A window Kestles places becomes floating. The layer remembers where the tiling had it, so
/// that putting it back to exactly that frame (an undo) returns it to the tiling instead.
class IpcAccessibility final : public platform::Accessibility {
 public:
  explicit IpcAccessibility(IpcSession& session) : session_(session) {}

  platform::AXElement systemWide() override;
  platform::AXElement application(std::int32_t pid) override;
  std::optional<std::int32_t> pid(platform::AXElement element) override;
  /// The compositor answers, not the app: there is nothing to wait for.
  void setMessagingTimeout(platform::AXElement element, float seconds) override;
  platform::AXRead copyValue(platform::AXElement element, std::string_view name) override;
  /// A window's attributes come from one tree.
  std::optional<std::vector<std::optional<platform::AXValue>>> copyValues(
      platform::AXElement element, std::span<const std::string_view> names) override;
  std::optional<bool> attributeIsSettable(platform::AXElement element,
                                          std::string_view name) override;
  platform::AXErrorCode setValue(platform::AXElement element, std::string_view name,
                                 const platform::AXValue& value) override;
  platform::AXErrorCode performAction(platform::AXElement element, std::string_view name) override;
  /// One `focus` per window in one command, the window that keeps the focus last.
  bool raiseInOrder(std::span<const platform::AXElement> order,
                    std::optional<platform::AXElement> focus) override;
  /// Every window of the batch in one `run_command`, then one tree read for the landings.
  std::vector<platform::FrameResult> setFrames(
      std::span<const platform::FrameRequest> requests) override;
  std::optional<std::uint32_t> windowNumber(platform::AXElement element) override;
  /// Nothing when the process has no window.
  std::optional<platform::AXObserverID> createObserver(
      std::int32_t pid, platform::AXNotificationHandler handler) override;
  platform::AXErrorCode addNotification(platform::AXObserverID observer,
                                        platform::AXElement element,
                                        std::string_view name) override;
  /// Once this returns, the observer's handler is not running and never runs again.
  void removeObserver(platform::AXObserverID observer) override;

  /// Hands a notification about a window of `pid` to the observers of that pid that asked
  /// for it on the app's element or on the window's; called by the event thread.
  void deliver(std::int32_t pid, std::uint32_t window, std::string_view name);
  /// Forgets a closed window's tiled frame.
  void forget(std::uint32_t window);

 private:
  platform::AXRead readSystemWide(std::string_view name);
  platform::AXRead readApp(std::int32_t pid, std::string_view name);
  platform::AXErrorCode setApp(std::int32_t pid, std::string_view name,
                               const platform::AXValue& value);
  platform::AXErrorCode setWindow(std::uint32_t window, std::string_view name,
                                  const platform::AXValue& value);
  platform::AXErrorCode runOn(std::uint32_t window, const std::string& command);
  /// How commands name the window with this number.
  commands::Target targetOf(std::uint32_t id);
  /// The command that puts the window at `frame`, noting its tiled frame on the way.
  std::string placement(const IpcWindow& window, const CGRect& frame, const IpcTree& tree);

  IpcSession& session_;
  std::mutex tiledMutex_;
  struct Tiled {
    CGRect frame;
    std::uint64_t previous = 0;  // its neighbours' containers then
    std::uint64_t next = 0;
  };
  std::map<std::uint32_t, Tiled> tiledFrames_;  // where the tiling had windows Kestles floated
  std::set<std::uint32_t> tiledAgain_;          // put back into the tiling by the batch being built
  platform::AXObservers observers_;
};

}  // namespace kestles::ipc
