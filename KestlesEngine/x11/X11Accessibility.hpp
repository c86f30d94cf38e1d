#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "KestlesEngine/platform/AXObservers.hpp"
#include "KestlesEngine/platform/Accessibility.hpp"
#include "KestlesEngine/x11/X11Placement.hpp"
#include "KestlesEngine/x11/X11Session.hpp"

namespace kestles::x11 {

/// How the layer spells its elements in `AXElement::raw`: the kind in bits 32 and up, the
/// value in the low 32 bits. The system-wide element has no value, an app's value is its
/// pid and a window's its client's X id (the id the window manager lists, not its frame's).
/// Raw 0 is no element.
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
inline platform::AXElement window(xcb_window_t id) {
  return make(Kind::window, id);
}
}  // namespace element

/// The accessibility interface over the X session's client windows. Apps are processes that
/// own standard windows (`_NET_WM_PID`), or for windows that name none, the X connection that
/// made them (`standInPID`); windows are the clients of `_NET_CLIENT_LIST` (the mapped top
/// levels without a window manager). The focused window is the one the manager calls active.
///
/// Changing a window waits until the change shows (bounded): a set frame, position or size
/// returns once the frame is where the window manager will put it, or once the manager has
/// been quiet for 100 ms (at most 1 s), so that every read after a set sees what really
/// landed.
/// A window that is gone answers -25202. Observers hear the notifications that the layer's
/// event thread finds (see `deliver`), on that thread.
class X11Accessibility final : public platform::Accessibility {
 public:
  explicit X11Accessibility(X11Session& session) : session_(session) {}

  platform::AXElement systemWide() override;
  platform::AXElement application(std::int32_t pid) override;
  std::optional<std::int32_t> pid(platform::AXElement element) override;
  /// Requests are answered by the X server, not by the app: there is nothing to wait for.
  void setMessagingTimeout(platform::AXElement element, float seconds) override;
  platform::AXRead copyValue(platform::AXElement element, std::string_view name) override;
  /// A window's attributes come from one pipelined batch (one round trip).
  std::optional<std::vector<std::optional<platform::AXValue>>> copyValues(
      platform::AXElement element, std::span<const std::string_view> names) override;
  std::optional<bool> attributeIsSettable(platform::AXElement element,
                                          std::string_view name) override;
  platform::AXErrorCode setValue(platform::AXElement element, std::string_view name,
                                 const platform::AXValue& value) override;
  platform::AXErrorCode performAction(platform::AXElement element, std::string_view name) override;
  /// Every window's whole frame goes out in one pipelined burst, and the landings are waited
  /// for together (see `placeWindows`).
  std::vector<platform::FrameResult> setFrames(
      std::span<const platform::FrameRequest> requests) override;
  /// Read off the size hints the way the window manager applies them (one round trip). Some
  /// managers round a size to the client's increments and some leave that to the client;
  /// until a window with increments has shown which, such a window's size is not foretold.
  std::vector<std::optional<CGSize>> fittedSizes(
      std::span<const platform::FrameRequest> requests) override;
  /// One burst of activations with the server's time, then one wait (see `raiseInOrder`).
  bool raiseInOrder(std::span<const platform::AXElement> order,
                    std::optional<platform::AXElement> focus) override;
  std::optional<std::uint32_t> windowNumber(platform::AXElement element) override;
  /// Window numbers are native on X11; the system's symbolic hot keys do not exist.
  /// Nothing when the process does not exist.
  std::optional<platform::AXObserverID> createObserver(
      std::int32_t pid, platform::AXNotificationHandler handler) override;
  platform::AXErrorCode addNotification(platform::AXObserverID observer,
                                        platform::AXElement element,
                                        std::string_view name) override;
  /// Once this returns, the observer's handler is not running and never runs again.
  void removeObserver(platform::AXObserverID observer) override;

  /// Hands a notification about a window of `pid` to the observers of that pid that asked
  /// for it on the app's element or on the window's; called by the event thread.
  void deliver(std::int32_t pid, xcb_window_t window, std::string_view name);

 private:
  platform::AXRead readSystemWide(std::string_view name);
  platform::AXRead readApp(std::int32_t pid, std::string_view name);
  platform::AXRead readWindow(xcb_window_t window, std::string_view name);
  platform::AXErrorCode setApp(std::int32_t pid, std::string_view name,
                               const platform::AXValue& value);
  platform::AXErrorCode setWindow(xcb_window_t window, std::string_view name,
                                  const platform::AXValue& value);
  platform::AXErrorCode place(xcb_window_t window, std::optional<CGPoint> origin,
                              std::optional<CGSize> size);
  platform::AXErrorCode activate(xcb_window_t window);

  /// Learns from the landings of windows whose size was not foretold whether the manager
  /// rounds sizes to increments.
  void learnRounding(std::span<const Placement> placements,
                     const std::vector<std::optional<Box>>& landed);

  X11Session& session_;
  // Both guarded by the session's lock.
  std::optional<bool> managerRounds_;
  std::map<xcb_window_t, ForeseenLanding> foreseen_;
  // Windows in a glide, with the frame last asked for: a short messaging timeout marks them,
  // and their frames are asked for without waiting for each landing. A frame read back
  // then may still be an older one, so a size or a position alone completes the frame
  // last asked for.
  std::map<xcb_window_t, std::optional<Box>> gliding_;
  platform::AXObservers observers_;
};

}  // namespace kestles::x11
