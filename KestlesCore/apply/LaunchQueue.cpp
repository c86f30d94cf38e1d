#include "KestlesCore/apply/LaunchQueue.hpp"

#include <algorithm>

namespace kestles {

LaunchQueue LaunchQueue::make(const std::vector<ApplyPlan::Launch>& launches,
                              std::set<std::uint32_t> knownWindows) {
  LaunchQueue queue;
  queue.known = std::move(knownWindows);
  for (const auto& launch : launches) {
    auto& tiles = queue.pending[launch.app.bundleID];
    if (std::find(queue.order.begin(), queue.order.end(), launch.app.bundleID) == queue.order.end())
      queue.order.push_back(launch.app.bundleID);
    tiles.insert(tiles.end(), launch.tiles.begin(), launch.tiles.end());
  }
  return queue;
}

bool LaunchQueue::isDone() const {
  return std::all_of(pending.begin(), pending.end(),
                     [](const auto& entry) { return entry.second.empty(); });
}

std::vector<ApplyPlan::Move> LaunchQueue::place(const std::vector<WindowSnapshot>& windows) {
  std::vector<const WindowSnapshot*> fresh;
  for (const auto& window : windows) {
    auto tiles = pending.find(window.bundleID);
    if (!known.count(window.id) && tiles != pending.end() && !tiles->second.empty())
      fresh.push_back(&window);
  }
  std::stable_sort(fresh.begin(), fresh.end(), [](auto* a, auto* b) { return a->id < b->id; });
  std::vector<ApplyPlan::Move> moves;
  for (const auto* window : fresh) {
    // The same id listed twice in one look is still one window.
    if (!known.insert(window->id).second) continue;
    withWindows.insert(window->bundleID);
    auto& tiles = pending[window->bundleID];
    if (window->isMinimized || window->isFullScreen || tiles.empty()) continue;
    auto tile = tiles.front();
    tiles.erase(tiles.begin());
    moves.push_back({window->id, window->pid, tile.displayID, tile.tile, tile.frame});
  }
  return moves;
}

void LaunchQueue::drop(std::string_view bundleID) {
  if (auto found = pending.find(std::string(bundleID)); found != pending.end())
    pending.erase(found);
}

std::vector<std::string> LaunchQueue::waitingApps(const World& world) const {
  std::set<std::string> inWorld;
  for (const auto& window : world.windows)
    inWorld.insert(window.bundleID);
  std::vector<std::string> waiting;
  for (const auto& bundleID : order) {
    auto tiles = pending.find(bundleID);
    if (tiles == pending.end() || tiles->second.empty()) continue;
    if (!inWorld.count(bundleID) && !withWindows.count(bundleID)) waiting.push_back(bundleID);
  }
  return waiting;
}

double LaunchQueue::pollInterval(double elapsedSeconds) {
  if (elapsedSeconds < 3) return 0.2;
  if (elapsedSeconds < 8) return 0.5;
  return 1.0;
}

}  // namespace kestles
