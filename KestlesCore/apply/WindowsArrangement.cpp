#include "KestlesCore/apply/WindowsArrangement.hpp"

#include "KestlesCore/apply/PlanBuilding.hpp"
#include "KestlesCore/tiling/LayoutInference.hpp"

namespace kestles {
namespace {

/// The frame as fractions of the area, y down.
CGRect unitIn(const CGRect& frame, const CGRect& area) {
  return {(frame.minX() - area.minX()) / area.width(), (frame.minY() - area.minY()) / area.height(),
          frame.width() / area.width(), frame.height() / area.height()};
}

std::optional<KestleScreen> screenOf(const planning::WorldIndex& index,
                                     const DisplayInfo& display) {
  auto windows = planning::windowsOnDisplay(index, display);
  if (windows.empty() || display.visibleFrame.width() <= 0 || display.visibleFrame.height() <= 0)
    return std::nullopt;
  std::vector<CGRect> frames;
  for (const auto* window : windows)
    frames.push_back(window->frame);
  KestleScreen screen;
  screen.display = DisplayKind::of(display);
  std::vector<std::size_t> windowOfTile;
  if (auto inferred = LayoutInference::infer(frames, display.visibleFrame)) {
    screen.shape = TileShape::tree(std::move(inferred->tree));
    windowOfTile = std::move(inferred->frameOfTile);
  } else {
    // Overlapping windows cannot be cut apart: each keeps its own place.
    std::vector<DrawnTile> tiles;
    for (std::size_t i = 0; i < frames.size(); ++i) {
      tiles.push_back(DrawnTile::make(unitIn(frames[i], display.visibleFrame)));
      windowOfTile.push_back(i);
    }
    screen.shape = TileShape::drawn(std::move(tiles));
  }
  for (auto window : windowOfTile)
    screen.pins.emplace_back(AppRef{windows[window]->bundleID, windows[window]->appName});
  return screen;
}

}  // namespace

WindowsArrangement WindowsArrangement::of(const World& world) {
  planning::WorldIndex index(world);
  WindowsArrangement result{world.setup.fingerprint(), {}};
  for (const auto& display : world.setup.displays)
    if (auto screen = screenOf(index, display))
      result.arrangement.screens.push_back(std::move(*screen));
  return result;
}

}  // namespace kestles
