#include "KestlesCore/keyboard/WindowChoice.hpp"

#include <algorithm>

#include "KestlesCore/tiling/DisplayWindows.hpp"

namespace kestles {

WindowChoice WindowChoice::make(const World& world, const std::string& displayID,
                                const std::set<std::uint32_t>& on) {
  WindowChoice choice{displayID, {}};
  auto byDisplay = visibleWindowsByDisplay(world);
  auto windows = byDisplay[displayID];
  // Front to back, as the user sees them; a number is a position, so it stays put while the
  // switches change.
  std::stable_sort(windows.begin(), windows.end(),
                   [](const auto* a, const auto* b) { return a->zIndex < b->zIndex; });
  for (const auto* window : windows) {
    int position = static_cast<int>(choice.chips.size()) + 1;
    choice.chips.push_back({window->id, window->bundleID, window->appName, window->title,
                            position <= 9 ? std::optional<int>(position) : std::nullopt,
                            on.contains(window->id)});
  }
  return choice;
}

bool WindowChoice::toggle(std::uint32_t window) {
  auto chip =
      std::find_if(chips.begin(), chips.end(), [&](const Chip& c) { return c.id == window; });
  if (chip == chips.end()) return false;
  chip->isOn = !chip->isOn;
  return true;
}

bool WindowChoice::toggleNumber(int number) {
  auto chip =
      std::find_if(chips.begin(), chips.end(), [&](const Chip& c) { return c.number == number; });
  return chip != chips.end() && toggle(chip->id);
}

std::vector<std::uint32_t> WindowChoice::chosen() const {
  std::vector<std::uint32_t> ids;
  for (const auto& chip : chips)
    if (chip.isOn) ids.push_back(chip.id);
  return ids;
}

}  // namespace kestles
