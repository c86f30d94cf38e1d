#include "KestlesCore/session/DropPlan.hpp"

#include <string>

#include <nlohmann/json.hpp>

#include "KestlesCore/snap/Snapper.hpp"
#include "KestlesCore/snap/ZoneMode.hpp"
#include "KestlesCore/tiling/TilingFrames.hpp"

namespace kestles {
namespace {

/// Every window whose tile frame after the change differs from its frame in the world.
std::map<std::uint32_t, CGRect> movedByTiles(const World& world, const Tilings& tilings,
                                             const Gaps& gaps) {
  std::map<std::uint32_t, CGRect> moved;
  for (const auto& [displayID, tiling] : tilings) {
    auto display = world.setup.displayWithID(displayID);
    if (!display) continue;
    for (const auto& [id, frame] : tiling.frames(display->visibleFrame, gaps)) {
      const WindowSnapshot* window = windowWithID(world, id);
      if (!window || window->frame != frame) moved.emplace(id, frame);
    }
  }
  return moved;
}

/// An edge zone's place: the window leaves any tile (the tile stays for keep tiled to fill)
/// and its run of snaps goes on from where it was, so Restore brings back the frame from
/// before the drag.
void snapped(DropPlan& plan, SnapAction place, const WindowSnapshot& window,
             const DisplayInfo& display, const Settings& settings) {
  auto frame = Snapper::placeFrame(place, display.visibleFrame, settings.gaps);
  if (!frame) return;
  plan.place = place;
  plan.zone = DropPlan::Zone{*frame, {}, std::string(title(place))};
  bool wasTiled = false;
  for (auto& [displayID, tiling] : plan.outcome.state.tilings)
    wasTiled = tiling.remove(window.id).has_value() || wasTiled;
  // Dragged out of its tile, the window floats: keep tiled leaves it where it was dropped.
  if (wasTiled) plan.outcome.state.keptTiles.floating.insert(window.id);
  plan.outcome.frames.emplace(window.id, *frame);
  plan.outcome.state.snapMemory.remember(window.id, window.frame, *frame);
}

/// What a landing does, in a few words over the tile.
std::string hintOf(const TileDrag::Landing& landing) {
  if (const auto* beside = std::get_if<DropTarget::Beside>(&landing.target.value)) {
    switch (beside->edge) {
      case TileEdge::left:
        return "Split, Take the Left";
      case TileEdge::right:
        return "Split, Take the Right";
      case TileEdge::top:
        return "Split, Take the Top";
      case TileEdge::bottom:
        return "Split, Take the Bottom";
    }
  }
  return landing.occupant ? "Trade Places" : "Take This Tile";
}

void landed(DropPlan& plan, CGPoint point, const WindowSnapshot& window, const DisplayInfo& display,
            const World& world, const Settings& settings) {
  TileDrag drag;
  drag.window = window.id;
  drag.session = LiveTiles(world.setup, settings.gaps, plan.outcome.state.tilings);
  drag.offered = {display.id};
  plan.landing = drag.landing(point);
  if (!plan.landing) return;
  plan.zone = DropPlan::Zone{plan.landing->frame, {}, hintOf(*plan.landing)};
  for (const auto& [id, frame] : drag.session.frames(plan.landing->displayID))
    plan.zone->tiles.push_back(frame);
  auto tilings = drag.dropped(*plan.landing);
  plan.outcome.frames = movedByTiles(world, tilings, settings.gaps);
  // An occupant that traded with a free window leaves the tiles for the window's frame.
  if (plan.landing->occupant && !tilingHolding(tilings, *plan.landing->occupant))
    plan.outcome.frames[*plan.landing->occupant] = window.frame;
  plan.outcome.state.tilings = std::move(tilings);
  plan.outcome.state.snapMemory.forget(window.id);
  plan.outcome.state.keptTiles.floating.erase(window.id);
}

}  // namespace

DropPlan DropPlan::make(CGPoint point, std::uint32_t windowID, const World& world,
                        const Settings& settings, const SessionState& state) {
  DropPlan plan;
  plan.outcome.state = state.forgettingClosedWindows(world);
  const WindowSnapshot* window = windowWithID(world, windowID);
  if (!window) {
    plan.outcome.message = "No window has the id " + std::to_string(windowID) + ".";
    return plan;
  }
  auto display = world.setup.display(point);
  if (!display || !display->frame.contains(point)) {
    plan.outcome.message = "No display is under that point.";
    return plan;
  }
  auto options =
      ZoneMode::Options::from(settings, plan.outcome.state.tilings.count(display->id) > 0, false);
  auto mode =
      ZoneMode::during(WindowDragKind::move, point, *display, world.setup.displays, options);
  if (!mode) return plan;
  if (auto edge = std::get_if<ZoneMode::Edge>(&mode->value))
    snapped(plan, edge->action, *window, *display, settings);
  else
    landed(plan, point, *window, *display, world, settings);
  plan.outcome.state = plan.outcome.state.forgettingClosedWindows(world);
  return plan;
}

nlohmann::json dropJSON(const DropPlan& plan, bool withState) {
  auto json = outcomeJSON(plan.outcome, withState);
  if (plan.place) json["drop"] = {{"place", commandLineSpelling(*plan.place)}};
  if (plan.landing) {
    nlohmann::json drop{{"display", plan.landing->displayID},
                        {"tile", plan.landing->target.tileIndex()}};
    if (auto beside = std::get_if<DropTarget::Beside>(&plan.landing->target.value))
      drop["side"] = rawValue(beside->edge);
    if (plan.landing->occupant) drop["occupant"] = *plan.landing->occupant;
    json["drop"] = drop;
  }
  return json;
}

}  // namespace kestles
