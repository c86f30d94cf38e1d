#include "KestlesCore/session/WindowIdentity.hpp"

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {

WindowIdentity WindowIdentity::of(const WindowSnapshot& window) {
  return {window.id, window.pid, window.bundleID};
}

bool WindowIdentity::matches(const WindowSnapshot& window) const {
  return *this == of(window);
}

void to_json(nlohmann::json& json, const WindowIdentity& identity) {
  json = nlohmann::json{{"id", identity.id}, {"pid", identity.pid}, {"app", identity.appID}};
}

void from_json(const nlohmann::json& json, WindowIdentity& identity) {
  coding::requireObject(json, "a window identity");
  identity = {coding::required<std::uint32_t>(json, "id"),
              coding::required<std::int32_t>(json, "pid"),
              coding::required<std::string>(json, "app")};
}

}  // namespace kestles
