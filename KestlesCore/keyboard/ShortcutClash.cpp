#include "KestlesCore/keyboard/ShortcutClash.hpp"

#include <algorithm>
#include <optional>
#include <type_traits>

#include "KestlesCore/model/Hashing.hpp"

namespace kestles {
namespace {

std::optional<ShortcutUse> useOf(const KeyCombo& combo, const Settings& settings) {
  for (auto command : allKeyCommands())
    if (settings.keys(command) == combo) return ShortcutUse::command(command);
  if (settings.snapKeysEnabled)
    for (auto action : allSnapActions())
      if (settings.keys(action) == combo) return ShortcutUse::snap(action);
  for (auto use : {ShortcutUse::panel(), ShortcutUse::kestles(), ShortcutUse::layouts()}) {
    auto combos = settings.keys(use);
    if (std::find(combos.begin(), combos.end(), combo) != combos.end()) return use;
  }
  return std::nullopt;
}

}  // namespace

std::vector<ShortcutClash> ShortcutClash::clashes(const std::vector<SystemShortcut>& shortcuts,
                                                  const Settings& settings) {
  std::vector<ShortcutClash> found;
  for (const auto& shortcut : shortcuts)
    if (shortcut.isOn)
      if (auto use = useOf(shortcut.combo, settings)) found.push_back({shortcut, *use});
  return found;
}

}  // namespace kestles

std::size_t std::hash<kestles::ShortcutClash>::operator()(
    const kestles::ShortcutClash& clash) const noexcept {
  std::size_t seed = std::hash<int>()(clash.system.id);
  kestles::hashCombine(seed, std::hash<kestles::KeyCombo>()(clash.system.combo));
  kestles::hashCombine(seed, clash.system.isOn ? 1 : 0);
  kestles::hashCombine(seed, clash.use.value.index());
  std::visit(
      [&](const auto& value) {
        using Value = std::decay_t<decltype(value)>;
        if constexpr (std::is_enum_v<Value>)
          kestles::hashCombine(seed, static_cast<std::size_t>(value));
      },
      clash.use.value);
  return seed;
}
