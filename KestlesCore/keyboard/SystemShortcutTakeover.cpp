#include "KestlesCore/keyboard/SystemShortcutTakeover.hpp"

#include <algorithm>
#include <iterator>

#include <nlohmann/json.hpp>

namespace kestles {

SystemShortcutTakeover::Change SystemShortcutTakeover::update(
    const std::vector<SystemShortcut>& clashing, bool takes) {
  std::set<int> wanted;
  if (takes)
    for (const auto& shortcut : clashing)
      wanted.insert(shortcut.id);
  Change change;
  std::set_difference(wanted.begin(), wanted.end(), turnedOff.begin(), turnedOff.end(),
                      std::inserter(change.turnOff, change.turnOff.end()));
  std::set_difference(turnedOff.begin(), turnedOff.end(), wanted.begin(), wanted.end(),
                      std::inserter(change.turnOn, change.turnOn.end()));
  turnedOff = std::move(wanted);
  return change;
}

std::vector<SystemShortcut> SystemShortcutTakeover::restore(
    const std::vector<SystemShortcut>& current) {
  std::vector<SystemShortcut> back;
  for (const auto& shortcut : current) {
    if (!turnedOff.contains(shortcut.id) || shortcut.isOn) continue;
    back.push_back(shortcut);
    back.back().isOn = true;
    turnedOff.erase(shortcut.id);  // a shortcut listed twice is written back once
  }
  turnedOff.clear();
  return back;
}

void to_json(nlohmann::json& json, const SystemShortcutTakeover& takeover) {
  json = {{"turnedOff", takeover.turnedOff}};
}

void from_json(const nlohmann::json& json, SystemShortcutTakeover& takeover) {
  takeover.turnedOff.clear();
  auto ids = json.find("turnedOff");
  if (ids == json.end() || !ids->is_array()) return;
  for (const auto& id : *ids)
    if (id.is_number_integer()) takeover.turnedOff.insert(id.get<int>());
}

}  // namespace kestles
