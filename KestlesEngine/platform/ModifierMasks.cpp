#include "KestlesEngine/platform/ModifierMasks.hpp"

namespace kestles::platform {

std::uint32_t carbonModifiers(KeyModifiers modifiers) {
  std::uint32_t mask = 0;
  for (const auto& row : kModifierMasks)
    if (modifiers.contains(row.keyModifier)) mask |= row.carbon;
  return mask;
}

KeyModifiers keyModifiersFromCarbon(std::uint32_t mask) {
  KeyModifiers modifiers;
  for (const auto& row : kModifierMasks)
    if (mask & row.carbon) modifiers.rawValue |= row.keyModifier;
  return modifiers;
}

KeyModifiers keyModifiersFromFlags(std::uint64_t flags) {
  KeyModifiers modifiers;
  for (const auto& row : kModifierMasks)
    if (flags & row.eventFlag) modifiers.rawValue |= row.keyModifier;
  return modifiers;
}

}  // namespace kestles::platform
