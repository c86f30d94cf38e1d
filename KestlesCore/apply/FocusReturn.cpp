#include "KestlesCore/apply/FocusReturn.hpp"

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {

std::optional<Kestle> FocusReturn::switchTo(const UUID& kestleID, bool remember,
                                            const Library& library) {
  if (!library.settings.rulesEnabled) return std::nullopt;
  const Kestle* kestle = library.kestle(kestleID);
  if (!kestle) return std::nullopt;
  if (!remember) {
    isArmed = false;
    before.reset();
  } else if (!isArmed) {
    isArmed = true;
    before = library.currentKestleID;
  }
  applied = kestleID;
  if (library.currentKestleID == kestleID) return std::nullopt;
  return *kestle;
}

std::optional<Kestle> FocusReturn::comeBack(const Library& library) {
  std::optional<Kestle> result;
  if (isArmed && library.settings.rulesEnabled && applied && library.currentKestleID == applied &&
      before && before != applied)
    if (const Kestle* kestle = library.kestle(*before)) result = *kestle;
  *this = FocusReturn{};
  return result;
}

void to_json(nlohmann::json& json, const FocusReturn& memory) {
  json = {{"isArmed", memory.isArmed}};
  coding::putOptional(json, "before", memory.before);
  coding::putOptional(json, "applied", memory.applied);
}

void from_json(const nlohmann::json& json, FocusReturn& memory) {
  coding::requireObject(json, "focus return");
  memory = {};
  memory.isArmed = coding::value<bool>(json, "isArmed", false);
  memory.before = coding::optional<UUID>(json, "before");
  memory.applied = coding::optional<UUID>(json, "applied");
}

}  // namespace kestles
