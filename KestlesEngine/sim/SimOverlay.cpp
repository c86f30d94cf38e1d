#include "KestlesEngine/sim/SimOverlay.hpp"

namespace kestles::sim {

bool SimOverlay::show(const std::vector<ModeLabel>& labels) {
  if (keyboardTaken && !holding_) return false;
  holding_ = true;
  labels_ = labels;
  shown_.push_back(labels);
  return true;
}

void SimOverlay::hide() {
  holding_ = false;
  labels_.clear();
}

void SimOverlay::showPassive(const platform::PassiveMarks& marks) {
  passive_ = marks;
  passiveShown_.push_back(marks);
}

bool SimOverlay::type(const TypedKey& key) {
  if (!holding_ || !handler_) return false;
  handler_(key);
  return true;
}

bool SimOverlay::type(std::string_view names) {
  auto keys = TypedKey::sequence(names);
  if (!keys) return false;
  for (const auto& key : *keys)
    if (!type(key)) return false;
  return true;
}

}  // namespace kestles::sim
