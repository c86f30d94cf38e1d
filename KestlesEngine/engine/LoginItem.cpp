#include "KestlesEngine/engine/LoginItem.hpp"

namespace kestles::engine {

using platform::LogCategory;
using platform::LoginItemService;
using platform::LogLevel;

LoginItem::State LoginItem::state() {
  switch (service_.status()) {
    case LoginItemService::Status::enabled:
      return State::on;
    case LoginItemService::Status::requiresApproval:
      return State::needsApproval;
    case LoginItemService::Status::notRegistered:
    case LoginItemService::Status::notFound:
      return State::off;
  }
  return State::off;
}

LoginItem::State LoginItem::set(bool on) {
  std::string word = on ? "on" : "off";
  auto error = on ? service_.registerItem() : service_.unregisterItem();
  if (error)
    log_.write(
        {LogLevel::error, LogCategory::engine,
         platform::formatLog("Turning open at login %{public}s failed: %{public}s", word, *error)});
  else
    log_.write({LogLevel::info, LogCategory::engine,
                platform::formatLog("Open at login %{public}s", word)});
  return state();
}

}  // namespace kestles::engine
