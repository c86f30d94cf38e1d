#include "KestlesCore/apply/ApplyPlan.hpp"

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {
std::string ApplyPlan::LeftOut::sentence() const {
  int staying = windows - tiled;
  return "Tiled " + std::to_string(tiled) + " of " + std::to_string(windows) + " windows on " +
         displayName + ": " + style + " holds at most " + std::to_string(tiled) + " here; " +
         std::to_string(staying) +
         (staying == 1 ? " stays where it was." : " stay where they were.");
}

std::map<std::uint32_t, CGRect> ApplyPlan::movedFrames() const {
  std::map<std::uint32_t, CGRect> frames;
  for (const auto& move : moves)
    frames[move.window] = move.frame;
  return frames;
}

void to_json(nlohmann::json& json, const ApplyPlan::Move& move) {
  json = {{"window", move.window},
          {"pid", move.pid},
          {"displayID", move.displayID},
          {"tile", move.tile},
          {"frame", move.frame}};
}

void to_json(nlohmann::json& json, const ApplyPlan::PendingTile& tile) {
  json = {{"displayID", tile.displayID}, {"tile", tile.tile}, {"frame", tile.frame}};
}

void to_json(nlohmann::json& json, const ApplyPlan::Launch& launch) {
  json = {{"app", launch.app}, {"isRunning", launch.isRunning}, {"tiles", launch.tiles}};
}

void to_json(nlohmann::json& json, const ApplyPlan::DerivedArrangement& derived) {
  json = {{"fingerprint", derived.fingerprint}, {"arrangement", derived.arrangement}};
}

void to_json(nlohmann::json& json, const ApplyPlan& plan) {
  nlohmann::json tilings = nlohmann::json::object();
  for (const auto& [displayID, tiling] : plan.tilings)
    tilings[displayID] = tiling;
  nlohmann::json layouts = nlohmann::json::object();
  for (const auto& [displayID, layout] : plan.layouts)
    layouts[displayID] = layout ? nlohmann::json(*layout) : nlohmann::json(nullptr);
  json = {{"title", plan.title},           {"moves", plan.moves},   {"raises", plan.raises},
          {"unminimize", plan.unminimize}, {"unhide", plan.unhide}, {"launches", plan.launches},
          {"missing", plan.missing},       {"tilings", tilings},    {"layouts", layouts}};
  coding::putOptional(json, "kestleID", plan.kestleID);
  coding::putOptional(json, "focus", plan.focus);
  coding::putOptional(json, "derivedArrangement", plan.derivedArrangement);
  coding::putOptional(json, "arrangement", plan.arrangement);
  coding::putOptional(json, "nextArrangement", plan.nextArrangement);
}

}  // namespace kestles
