#include "KestlesEngine/engine/SystemTiling.hpp"

#include <array>

namespace kestles::engine {
namespace {

constexpr std::array kKeys{SystemTiling::kEdgeKey, SystemTiling::kTopEdgeKey};

}  // namespace

bool SystemTiling::isOn() {
  if (!preferences_.synchronize(kDomain)) return false;
  for (auto key : kKeys) {
    auto value = preferences_.value(kDomain, key);
    if (!value || platform::boolValue(*value).value_or(true)) return true;
  }
  return false;
}

void SystemTiling::set(bool on) {
  if (!preferences_.synchronize(kDomain)) return;
  // Turning it back on removes the keys rather than writing true: the system's default
  // (and any later change of it) applies again, as before the user ever turned it off.
  std::optional<platform::PreferenceValue> value;
  if (!on) value = false;
  for (auto key : kKeys)
    preferences_.setValue(kDomain, key, value);
  preferences_.synchronize(kDomain);
  log_.write({platform::LogLevel::info, platform::LogCategory::engine,
              platform::formatLog("macOS edge tiling %{public}s", std::string(on ? "on" : "off"))});
}

}  // namespace kestles::engine
