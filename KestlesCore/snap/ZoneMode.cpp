#include "KestlesCore/snap/ZoneMode.hpp"

#include "KestlesCore/settings/Settings.hpp"
#include "KestlesCore/snap/EdgeZone.hpp"

namespace kestles {

ZoneMode::Options ZoneMode::Options::from(const Settings& settings, bool displayHasTiles,
                                          bool systemEdgeTiling) {
  return {settings.dragToZonesEnabled && displayHasTiles,
          settings.dragToZonesEnabled && settings.edgeZonesEnabled, systemEdgeTiling};
}

std::optional<ZoneMode> ZoneMode::during(WindowDragKind kind, CGPoint point,
                                         const DisplayInfo& display,
                                         std::span<const DisplayInfo> displays,
                                         const Options& options) {
  if (kind != WindowDragKind::move) return std::nullopt;
  if (options.edgeZones && !options.systemEdgeTiling)
    if (auto action = EdgeZone::action(point, display, displays)) return edge(*action);
  if (options.tiles) return tiles();
  return std::nullopt;
}

}  // namespace kestles
