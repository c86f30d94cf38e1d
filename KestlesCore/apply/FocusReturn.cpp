#include "KestlesCore/apply/FocusReturn.hpp"

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

}  // namespace kestles
