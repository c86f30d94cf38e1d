#include "KestlesEngine/platform/AXObservers.hpp"

#include <vector>

namespace kestles::platform {

AXObserverID AXObservers::create(std::int32_t pid, AXNotificationHandler handler) {
  std::lock_guard guard(mutex_);
  auto id = next_++;
  observers_[id] = Observer{pid, std::move(handler), {}};
  return AXObserverID{id};
}

AXErrorCode AXObservers::add(AXObserverID observer, AXElement element, bool elementIsValid,
                             std::string_view name) {
  std::lock_guard guard(mutex_);
  auto found = observers_.find(observer.raw);
  if (found == observers_.end()) return ax_error::illegalArgument;
  if (!elementIsValid) return ax_error::invalidElement;
  if (!found->second.registered.emplace(element.raw, std::string(name)).second)
    return ax_error::notificationAlreadyRegistered;
  return ax_error::success;
}

void AXObservers::remove(AXObserverID observer) {
  std::lock_guard delivery(deliveryMutex_);
  std::lock_guard guard(mutex_);
  observers_.erase(observer.raw);
}

void AXObservers::deliver(std::int32_t pid, AXElement app, AXElement window,
                          std::string_view name) {
  std::lock_guard delivery(deliveryMutex_);
  std::vector<AXNotificationHandler> handlers;
  {
    std::lock_guard guard(mutex_);
    std::pair<std::uint64_t, std::string> onApp{app.raw, std::string(name)};
    std::pair<std::uint64_t, std::string> onWindow{window.raw, std::string(name)};
    for (const auto& [id, observer] : observers_)
      if (observer.pid == pid &&
          (observer.registered.contains(onApp) || observer.registered.contains(onWindow)))
        handlers.push_back(observer.handler);
  }
  std::string text(name);
  for (const auto& handler : handlers)
    handler(window, text);
}

}  // namespace kestles::platform
