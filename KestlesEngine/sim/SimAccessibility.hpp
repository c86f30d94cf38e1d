#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "KestlesEngine/platform/Accessibility.hpp"
#include "KestlesEngine/sim/SimWorld.hpp"

namespace kestles::sim {

/// The accessibility interface of the simulated desktop: the elements of its apps and
/// windows, read and changed only through the calls, with scripted faults, recording every
/// call. Sizes obey the windows' minimum and maximum sizes, and a window that is not resizable
/// keeps its size. Timed behaviour runs on the world's fake clock.
class SimAccessibility final : public platform::Accessibility {
 public:
  explicit SimAccessibility(SimWorld& world) : world_(world) {}

  // Fault script.

  /// The app answers -25204 to every call from its `fromCall`-th call on (counted from 1).
  void stopAnswering(std::int32_t pid, int fromCall = 1);
  /// Every answered call of the app takes this long on the clock.
  void setCallCost(std::int32_t pid, platform::Duration cost);
  /// After its next size change the window takes `size` on its own, `after` later.
  void resizeLate(std::uint32_t window, CGSize size, platform::Duration after);
  /// The window's element does not tell its number.
  void hideWindowNumber(std::uint32_t window);
  /// The window's subrole (nothing: it has none) and whether it tells its position.
  void setSubrole(std::uint32_t window, std::optional<std::string> subrole);
  void hidePosition(std::uint32_t window);
  /// Leaving full screen takes `delay`, with `switches` Space changes spread over it.
  void leaveFullScreenSlowly(std::uint32_t window, platform::Duration delay, int switches);
  /// The next `times` observers of the app answer -25204 when notifications are added.
  void refuseObservers(std::int32_t pid, int times);
  void setFocusedWindow(std::optional<std::uint32_t> window);
  void setFocusedApp(std::int32_t pid);
  void setEnhancedUserInterface(std::int32_t pid, bool on);
  /// From now on the desktop tells beforehand the size a window will take, as a window
  /// manager reading size hints does.
  void foretellSizes() { foretellsSizes_ = true; }

  // Driving.

  /// A new window of a running app, in front; observers hear "AXWindowCreated".
  void addWindow(const WindowSnapshot& window);
  /// Delivers the notification to the app's observers that asked for it.
  void notify(std::int32_t pid, std::string_view name, std::uint32_t window = 0);
  /// The app's observers stop (it quit). The caller holds the world's lock.
  void forgetObservers(std::int32_t pid);

  // Inspection.

  std::optional<std::int32_t> frontmostApp();
  bool isHidden(std::int32_t pid);
  bool usesEnhancedUserInterface(std::int32_t pid);
  /// How many observers exist per pid.
  std::map<std::int32_t, int> observerCounts();
  /// The element of a window (as the engine would read it).
  platform::AXElement elementOf(std::uint32_t window);

  // platform::Accessibility
  platform::AXElement systemWide() override;
  platform::AXElement application(std::int32_t pid) override;
  std::optional<std::int32_t> pid(platform::AXElement element) override;
  void setMessagingTimeout(platform::AXElement element, float seconds) override;
  platform::AXRead copyValue(platform::AXElement element, std::string_view name) override;
  std::optional<std::vector<std::optional<platform::AXValue>>> copyValues(
      platform::AXElement element, std::span<const std::string_view> names) override;
  std::optional<bool> attributeIsSettable(platform::AXElement element,
                                          std::string_view name) override;
  platform::AXErrorCode setValue(platform::AXElement element, std::string_view name,
                                 const platform::AXValue& value) override;
  platform::AXErrorCode performAction(platform::AXElement element, std::string_view name) override;
  std::optional<std::uint32_t> windowNumber(platform::AXElement element) override;
  std::vector<std::optional<CGSize>> fittedSizes(
      std::span<const platform::FrameRequest> requests) override;
  std::optional<platform::AXObserverID> createObserver(
      std::int32_t pid, platform::AXNotificationHandler handler) override;
  platform::AXErrorCode addNotification(platform::AXObserverID observer,
                                        platform::AXElement element,
                                        std::string_view name) override;
  void removeObserver(platform::AXObserverID observer) override;

 private:
  struct Observer {
    std::int32_t pid = 0;
    platform::AXNotificationHandler handler;
    bool refusing = false;
    std::set<std::pair<std::uint64_t, std::string>> registered;
  };

  SimWindow* windowOf(platform::AXElement element);
  std::int32_t ownerOf(platform::AXElement element);
  // Counts the call against the element's app; false when the app does not answer it.
  bool answers(platform::AXElement element);
  std::optional<platform::AXValue> read(platform::AXElement element, std::string_view name);
  platform::AXErrorCode write(platform::AXElement element, std::string_view name,
                              const platform::AXValue& value);
  void resize(SimWindow& window, CGSize size);
  void deliver(std::int32_t pid, platform::AXElement registeredOn, std::string_view name,
               platform::AXElement subject);

  SimWorld& world_;
  bool foretellsSizes_ = false;
  std::map<std::uint64_t, Observer> observers_;
  std::map<std::int32_t, int> observerRefusals_;
};

}  // namespace kestles::sim
