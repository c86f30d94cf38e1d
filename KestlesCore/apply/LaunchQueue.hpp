#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "KestlesCore/apply/ApplyPlan.hpp"

namespace kestles {

/// The tiles waiting for the first windows of launched apps, and the windows already seen,
/// so that each late window is placed once, in the tile waiting for it.
struct LaunchQueue {
  std::map<std::string, std::vector<ApplyPlan::PendingTile>> pending;  // by bundle id
  std::vector<std::string> order;                                      // bundle ids in launch order
  std::set<std::uint32_t> known;                                       // windows already seen
  std::set<std::string> withWindows;  // apps that showed a window since the queue began

  /// A queue for a plan's launches; `knownWindows` are the windows that existed when the
  /// plan was applied.
  static LaunchQueue make(const std::vector<ApplyPlan::Launch>& launches,
                          std::set<std::uint32_t> knownWindows);

  /// No app has a tile left to fill.
  bool isDone() const;
  /// Moves for the new windows of waiting apps, lower window ids first, each taking its
  /// app's first pending tile. Every new window becomes known; a minimized or full-screen
  /// one is never placed.
  std::vector<ApplyPlan::Move> place(const std::vector<WindowSnapshot>& windows);
  /// Forgets the app's pending tiles (it failed or was given up).
  void drop(std::string_view bundleID);
  /// The apps, in launch order, with tiles left and no window yet, in the world or seen.
  std::vector<std::string> waitingApps(const World& world) const;
  /// The delay before the next look: 0.2 s under 3 s after the apply, 0.5 s under 8 s,
  /// then 1 s.
  static double pollInterval(double elapsedSeconds);

  bool operator==(const LaunchQueue&) const = default;
};

}  // namespace kestles
