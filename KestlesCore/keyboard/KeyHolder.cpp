#include "KestlesCore/keyboard/KeyHolder.hpp"

namespace kestles {

std::optional<KeyHolder> KeyHolder::holder(const KeyCombo& combo,
                                           const std::vector<SystemShortcut>& shortcuts,
                                           const std::unordered_set<KeyCombo>& heldElsewhere) {
  for (const auto& shortcut : shortcuts)
    if (shortcut.isOn && shortcut.combo == combo) return macOS(shortcut);
  if (heldElsewhere.contains(combo)) return otherApp();
  return std::nullopt;
}

}  // namespace kestles
