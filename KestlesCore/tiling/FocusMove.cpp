#include "KestlesCore/tiling/FocusMove.hpp"

#include <set>
#include <vector>

#include "KestlesCore/tiling/Neighbour.hpp"

namespace kestles {
namespace {

std::set<std::int32_t> hiddenApps(const World& world) {
  std::set<std::int32_t> hidden;
  for (const auto& app : world.apps)
    if (app.isHidden) hidden.insert(app.pid);
  return hidden;
}

}  // namespace

std::optional<std::uint32_t> FocusMove::target(std::uint32_t front, TileEdge toward,
                                               const World& world) {
  auto hidden = hiddenApps(world);
  std::vector<CGRect> frames;
  std::vector<std::uint32_t> ids;
  std::optional<std::size_t> source;
  for (const auto& window : world.windows) {
    bool isFront = window.id == front;
    if (!isFront && (window.isMinimized || window.isFullScreen || hidden.contains(window.pid)))
      continue;
    if (isFront) source = frames.size();
    frames.push_back(window.frame);
    ids.push_back(window.id);
  }
  if (!source) return std::nullopt;
  auto beside = neighbour(*source, toward, frames);
  if (!beside) return std::nullopt;
  return ids[*beside];
}

}  // namespace kestles
