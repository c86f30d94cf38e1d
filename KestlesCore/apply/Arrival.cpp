#include "KestlesCore/apply/Arrival.hpp"

#include <algorithm>
#include <set>

namespace kestles {

Arrival Arrival::make(const std::vector<ApplyPlan::Launch>& launches) {
  Arrival arrival;
  for (const auto& launch : launches)
    for (const auto& tile : launch.tiles)
      arrival.waiting.push_back({launch.app, {tile.displayID, tile.tile}});
  return arrival;
}

std::vector<AppRef> Arrival::apps() const {
  std::vector<AppRef> apps;
  for (const auto& entry : waiting)
    if (std::find(apps.begin(), apps.end(), entry.app) == apps.end()) apps.push_back(entry.app);
  return apps;
}

std::vector<Arrival::Waiting> Arrival::filled(const std::vector<ApplyPlan::Move>& moves) {
  std::set<Spot> spots;
  for (const auto& move : moves)
    spots.insert({move.displayID, move.tile});
  std::vector<Waiting> removed;
  std::erase_if(waiting, [&](const Waiting& entry) {
    if (!spots.count(entry.spot)) return false;
    removed.push_back(entry);
    return true;
  });
  return removed;
}

void Arrival::failed(std::string_view bundleID) {
  auto ofApp = [&](const Waiting& entry) { return entry.app.bundleID == bundleID; };
  auto first = std::find_if(waiting.begin(), waiting.end(), ofApp);
  if (first == waiting.end()) return;
  failures.push_back(first->app);
  std::erase_if(waiting, ofApp);
}

}  // namespace kestles
