#pragma once

#include <cstdint>
#include <set>
#include <unordered_map>
#include <vector>

#include "KestlesCore/apply/ApplyPlan.hpp"

/// The pieces that every kind of plan is built from.
namespace kestles::planning {

/// Lookups into one world, made once per plan.
class WorldIndex {
 public:
  explicit WorldIndex(const World& world);

  const World& world() const { return world_; }
  /// The window with the id, or null.
  const WindowSnapshot* window(std::uint32_t id) const;
  /// Full screen by its own flag or by the world's full-screen map.
  bool isFullScreen(const WindowSnapshot& window) const;
  bool isAppHidden(std::int32_t pid) const { return hiddenPIDs_.count(pid) > 0; }
  /// Minimized, or its app is hidden: out of sight.
  bool isOutOfSight(const WindowSnapshot& window) const;
  /// On screen, not full screen and not of a floating app: a window that tiling takes.
  bool isTileable(const WindowSnapshot& window) const;

 private:
  const World& world_;
  std::unordered_map<std::uint32_t, const WindowSnapshot*> windows_;
  std::set<std::int32_t> hiddenPIDs_;
  std::set<std::uint32_t> fullScreenIDs_;
};

/// The tileable windows that belong to the display (the display showing most of their
/// frame, else the one at their centre), in world order.
std::vector<const WindowSnapshot*> windowsOnDisplay(const WorldIndex& index,
                                                    const DisplayInfo& display);

/// The frames of the tiling's tiles on the display's visible frame with the gaps; each
/// tile keeps the minimum size of the window in its slot.
std::vector<CGRect> tileFrames(const Tiling& tiling, const DisplayInfo& display,
                               const WorldIndex& index, const Gaps& gaps);

/// Records the tiling and its layout in the plan and returns one move per filled slot, in
/// tile order. Minimized windows join `unminimize`, hidden apps' pids `unhide` (once).
std::vector<ApplyPlan::Move> placeTiling(ApplyPlan& plan, const Tiling& tiling,
                                         const std::vector<CGRect>& frames,
                                         const WorldIndex& index);

/// `placeTiling` with the frames worked out, the moves appended to the plan's.
void addTiling(ApplyPlan& plan, const Tiling& tiling, const DisplayInfo& display,
               const WorldIndex& index, const Gaps& gaps);

}  // namespace kestles::planning
