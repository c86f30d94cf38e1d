#include "KestlesEngine/engine/SystemHotKeys.hpp"

#include <limits>

#include "KestlesEngine/platform/ModifierMasks.hpp"

namespace kestles::engine {
namespace {

constexpr std::uint16_t kNoKey = 0xFFFF;

bool fitsInt32(std::int64_t id) {
  return id >= std::numeric_limits<std::int32_t>::min() &&
         id <= std::numeric_limits<std::int32_t>::max();
}

// The ids as a sorted list, the way the log shows them: "[32, 34]".
std::string describe(const std::set<std::int64_t>& ids) {
  std::string text = "[";
  for (auto id : ids) {
    if (text.size() > 1) text += ", ";
    text += std::to_string(id);
  }
  return text + "]";
}

}  // namespace

std::vector<SystemHotKeys::Entry> SystemHotKeys::current(std::span<const std::int32_t> ids) {
  std::vector<Entry> entries;
  if (!source_.canRead()) return entries;
  for (auto id : ids) {
    auto reading = source_.value(id);
    if (reading.status != 0 || reading.value.keyCode == kNoKey) continue;
    KeyCombo combo{reading.value.keyCode, platform::keyModifiersFromFlags(reading.value.modifiers)};
    entries.push_back({id, combo, reading.value.modifiers, source_.isEnabled(id)});
  }
  return entries;
}

std::set<std::int64_t> SystemHotKeys::setEnabled(std::span<const std::int64_t> ids, bool on) {
  std::set<std::int64_t> changed;
  for (auto id : ids)
    if (setEnabled(id, on)) changed.insert(id);
  if (!ids.empty())
    log_.write({platform::LogLevel::info, platform::LogCategory::hotkeys,
                platform::formatLog("Turned %{public}s macOS shortcuts %{public}s",
                                    std::string(on ? "on" : "off"), describe(changed))});
  return changed;
}

bool SystemHotKeys::setEnabled(std::int64_t id, bool on) {
  if (!fitsInt32(id) || !source_.canSwitch()) return false;
  return source_.setEnabled(static_cast<std::int32_t>(id), on) == 0;
}

}  // namespace kestles::engine
