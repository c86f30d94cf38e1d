#include "KestlesEngine/engine/StageManagerPreferences.hpp"

namespace kestles::engine {

StageManagerPreferences::Values StageManagerPreferences::read() {
  Values values;
  if (!preferences_.synchronize(kDomain)) return values;
  values.enabled = flag("GloballyEnabled");
  values.hidesStrip = flag("AutoHide");
  if (preferences_.synchronize(kDockDomain)) {
    auto orientation = preferences_.value(kDockDomain, "orientation");
    values.dockOnLeft =
        orientation && *orientation == platform::PreferenceValue{std::string("left")};
  }
  return values;
}

bool StageManagerPreferences::flag(std::string_view key) {
  auto value = preferences_.value(kDomain, key);
  return value && platform::boolValue(*value).value_or(false);
}

}  // namespace kestles::engine
