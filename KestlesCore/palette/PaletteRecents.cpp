#include "KestlesCore/palette/PaletteRecents.hpp"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Lossy.hpp"

namespace kestles {

void PaletteRecents::record(const PaletteAction& action) {
  if (!action.isRecordable()) return;
  std::erase(actions, action);
  actions.insert(actions.begin(), action);
  if (actions.size() > kLimit) actions.resize(kLimit);
}

std::vector<PaletteAction> PaletteRecents::shown() const {
  std::vector<PaletteAction> shown;
  for (const auto& action : actions) {
    if (shown.size() == kLimit) break;
    if (action.isRecordable()) shown.push_back(action);
  }
  return shown;
}

void to_json(nlohmann::json& json, const PaletteRecents& recents) {
  json = {{"actions", recents.actions}};
}

void from_json(const nlohmann::json& json, PaletteRecents& recents) {
  coding::requireObject(json, "palette recents");
  recents.actions = coding::lossyList<PaletteAction>(json, "actions");
}

}  // namespace kestles
