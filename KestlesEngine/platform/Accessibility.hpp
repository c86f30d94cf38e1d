#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "KestlesCore/geometry/CGRect.hpp"

namespace kestles::platform {

/// The raw error code of an accessibility call; 0 is success.
using AXErrorCode = std::int32_t;

/// The error codes the engine reacts to.
namespace ax_error {
inline constexpr AXErrorCode success = 0;
inline constexpr AXErrorCode failure = -25200;
inline constexpr AXErrorCode illegalArgument = -25201;
inline constexpr AXErrorCode invalidElement = -25202;
inline constexpr AXErrorCode cannotComplete = -25204;  // the app did not answer
inline constexpr AXErrorCode attributeUnsupported = -25205;
inline constexpr AXErrorCode notificationAlreadyRegistered = -25209;
inline constexpr AXErrorCode noValue = -25212;
}  // namespace ax_error

/// One accessibility element (the system-wide element, an app or a window). The layer
/// gives `raw` its meaning; equal raws are the same element.
struct AXElement {
  std::uint64_t raw = 0;
  bool operator==(const AXElement&) const = default;
};

/// An attribute value that carries an accessibility error instead of a value.
struct AXErrorValue {
  AXErrorCode code = ax_error::failure;
  bool operator==(const AXErrorValue&) const = default;
};

/// The attribute values the engine reads and writes: booleans, numbers, strings, points,
/// sizes, elements and lists of elements.
using AXValue = std::variant<bool, double, std::string, CGPoint, CGSize, AXElement,
                             std::vector<AXElement>, AXErrorValue>;

/// What one attribute read gave: a value, or the error code.
struct AXRead {
  AXErrorCode error = ax_error::noValue;
  std::optional<AXValue> value;
};

/// An observer of one process's notifications.
struct AXObserverID {
  std::uint64_t raw = 0;
  bool operator==(const AXObserverID&) const = default;
};

/// Called with the element and the notification's name, on the layer's thread.
using AXNotificationHandler = std::function<void(AXElement element, const std::string& name)>;

/// One window's frame to set in a batch: the window's element, its app's pid, the frame and,
/// when known, where it stands now (a size that already fits is not written again).
struct FrameRequest {
  AXElement element;
  std::int32_t pid = 0;
  CGRect frame;
  std::optional<CGRect> current;
};

/// What setting one frame gave: success with the frame read back, or the error of the call
/// that failed (-25204 when the app did not answer).
struct FrameResult {
  AXErrorCode error = ax_error::failure;
  std::optional<CGRect> landed;
  bool operator==(const FrameResult&) const = default;
};

/// Accessibility-shaped window access. A layer implements the raw calls; the typed
/// operations are written once here on top of them. Nothing throws: a failure yields an
/// absent value, false or the raw error code. Every call may come from any thread.
class Accessibility {
 public:
  virtual ~Accessibility() = default;

  /// The element that answers for the whole system (focused app and window).
  virtual AXElement systemWide() = 0;
  /// The element of the app with this process id.
  virtual AXElement application(std::int32_t pid) = 0;
  /// The owning process; nothing on any error.
  virtual std::optional<std::int32_t> pid(AXElement element) = 0;
  /// How long calls to the element wait for its app; 0 restores the system default.
  virtual void setMessagingTimeout(AXElement element, float seconds) = 0;
  /// One attribute's value or the error.
  virtual AXRead copyValue(AXElement element, std::string_view name) = 0;
  /// Several attributes in one call, one entry per name; nothing when the call fails.
  virtual std::optional<std::vector<std::optional<AXValue>>> copyValues(
      AXElement element, std::span<const std::string_view> names) = 0;
  /// Whether the attribute can be set; nothing when the call fails.
  virtual std::optional<bool> attributeIsSettable(AXElement element, std::string_view name) = 0;
  virtual AXErrorCode setValue(AXElement element, std::string_view name, const AXValue& value) = 0;
  virtual AXErrorCode performAction(AXElement element, std::string_view name) = 0;
  /// The window server's number for a window element; nothing when the layer cannot tell
  /// (the call fails or gives 0).
  virtual std::optional<std::uint32_t> windowNumber(AXElement element) = 0;

  /// An observer for the process, calling `handler` for each notification it was added
  /// for; nothing when it cannot be created.
  virtual std::optional<AXObserverID> createObserver(std::int32_t pid,
                                                     AXNotificationHandler handler) = 0;
  virtual AXErrorCode addNotification(AXObserverID observer, AXElement element,
                                      std::string_view name) = 0;
  /// Stops the observer's notifications and forgets it.
  virtual void removeObserver(AXObserverID observer) = 0;

  /// Sets the frames of many windows and reads back where each landed, one result per
  /// request in order. This default sets each window in turn by its single calls (size,
  /// position, size again: a window moved to another display may take its full size only
  /// once it is there; then a read), and gives up on the remaining windows of an app once it
  /// did not answer. A layer that can send every request at once and wait for all of the
  /// landings together overrides it.
  virtual std::vector<FrameResult> setFrames(std::span<const FrameRequest> requests);
  /// The size each window will take when asked for its frame, where the layer can tell
  /// beforehand (a window manager applying the window's size hints), one entry per request
  /// in order; nothing where it cannot. The default can never tell.
  virtual std::vector<std::optional<CGSize>> fittedSizes(std::span<const FrameRequest> requests);
  /// Raises the windows in this order, the last in front, and leaves the focus on `focus`, or
  /// where it was when there is none, all in one go. False when the layer has no such call
  /// (the default): the caller then raises the windows one by one through their apps.
  virtual bool raiseInOrder(std::span<const AXElement> order, std::optional<AXElement> focus);

  // Typed operations over the raw calls.

  /// The value, or nothing on error.
  std::optional<AXValue> value(AXElement element, std::string_view name);
  /// Nothing unless the value is a string.
  std::optional<std::string> string(AXElement element, std::string_view name);
  /// A boolean gives itself, a number whether it is non-zero; anything else nothing.
  std::optional<bool> boolean(AXElement element, std::string_view name);
  /// Nothing unless the value is an element.
  std::optional<AXElement> element(AXElement element, std::string_view name);
  /// The elements of a list value; empty on error or for any other value.
  std::vector<AXElement> elements(AXElement element, std::string_view name);
  /// True only when the call succeeds and reports settable.
  bool isSettable(AXElement element, std::string_view name);
  /// "AXPosition" as a point.
  std::optional<CGPoint> position(AXElement element);
  /// "AXSize" as a size.
  std::optional<CGSize> size(AXElement element);
  /// Position, then size; nothing unless both are there.
  std::optional<CGRect> frame(AXElement element);
  /// One entry per name; an error value is absent, and when the call fails or answers
  /// with another count every entry is absent.
  std::vector<std::optional<AXValue>> values(AXElement element,
                                             std::span<const std::string_view> names);
  bool set(AXElement element, std::string_view name, const AXValue& value) {
    return setValue(element, name, value) == ax_error::success;
  }
  bool setBool(AXElement element, std::string_view name, bool on) {
    return set(element, name, AXValue{on});
  }
  /// The raw error; -25201 when the point is not finite (no value can be made of it).
  AXErrorCode setPosition(AXElement element, CGPoint point);
  /// The raw error; -25201 when the size is not finite.
  AXErrorCode setSize(AXElement element, CGSize size);
  AXErrorCode perform(AXElement element, std::string_view action) {
    return performAction(element, action);
  }
};

/// The attribute and action names the engine uses.
namespace ax {
inline constexpr std::string_view windows = "AXWindows";
inline constexpr std::string_view subrole = "AXSubrole";
inline constexpr std::string_view title = "AXTitle";
inline constexpr std::string_view position = "AXPosition";
inline constexpr std::string_view size = "AXSize";
inline constexpr std::string_view minimized = "AXMinimized";
inline constexpr std::string_view fullScreen = "AXFullScreen";
inline constexpr std::string_view hidden = "AXHidden";
inline constexpr std::string_view frontmost = "AXFrontmost";
inline constexpr std::string_view main = "AXMain";
inline constexpr std::string_view focusedApplication = "AXFocusedApplication";
inline constexpr std::string_view focusedWindow = "AXFocusedWindow";
inline constexpr std::string_view enhancedUserInterface = "AXEnhancedUserInterface";
inline constexpr std::string_view raise = "AXRaise";
inline constexpr std::string_view standardWindow = "AXStandardWindow";
inline constexpr std::string_view windowCreated = "AXWindowCreated";
inline constexpr std::string_view windowMiniaturized = "AXWindowMiniaturized";
inline constexpr std::string_view windowDeminiaturized = "AXWindowDeminiaturized";
inline constexpr std::string_view elementDestroyed = "AXUIElementDestroyed";
}  // namespace ax

}  // namespace kestles::platform

template <>
struct std::hash<kestles::platform::AXElement> {
  std::size_t operator()(kestles::platform::AXElement element) const noexcept {
    return std::hash<std::uint64_t>()(element.raw);
  }
};
