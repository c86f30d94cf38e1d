#include "KestlesCore/tiling/LiveTiles.hpp"

#include <algorithm>
#include <charconv>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Lossy.hpp"

namespace kestles {
namespace {

std::set<WindowID> tiledWindows(const Tilings& tilings) {
  std::set<WindowID> tiled;
  for (const auto& [displayID, tiling] : tilings)
    for (auto window : tiling.windowIDs())
      tiled.insert(window);
  return tiled;
}

std::optional<WindowID> windowNumber(const std::string& text) {
  WindowID number = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return number;
}

/// A map keyed by window numbers written as text; entries whose key or value do not read are
/// dropped.
template <class T>
std::map<WindowID, T> byWindow(const nlohmann::json& json, std::string_view key) {
  std::map<WindowID, T> entries;
  for (auto& [text, value] : coding::lossyMap<T>(json, key))
    if (auto window = windowNumber(text)) entries.emplace(*window, std::move(value));
  return entries;
}

template <class T>
nlohmann::json keyedByWindow(const std::map<WindowID, T>& entries) {
  auto json = nlohmann::json::object();
  for (const auto& [window, value] : entries)
    json[std::to_string(window)] = value;
  return json;
}

}  // namespace

void LiveTiles::adopt(Tilings changed, const World& world) {
  tilings = std::move(changed);
  auto tiled = tiledWindows(tilings);
  std::erase_if(order_, [&](WindowID window) { return !tiled.contains(window); });
  for (const auto& display : setup.ordered()) {
    const Tiling* placed = tiling(display.id);
    if (!placed) continue;
    for (auto window : placed->windowIDs()) {
      if (std::find(order_.begin(), order_.end(), window) != order_.end()) continue;
      order_.push_back(window);
      if (const WindowSnapshot* seen = windowWithID(world, window))
        original_.emplace(window, seen->frame);
    }
  }
  // Tilings of displays missing from the setup still count as placed.
  for (auto window : tiled)
    if (std::find(order_.begin(), order_.end(), window) == order_.end()) order_.push_back(window);
  for (const auto& [window, minimum] : knownMinimums(world))
    if (tiled.contains(window)) learn(window, minimum);
}

void LiveTiles::learn(WindowID window, MinimumSize minimum) {
  auto& known = minimums_[window];
  known.width = std::max(known.width, minimum.width);
  known.height = std::max(known.height, minimum.height);
  if (known == MinimumSize{}) minimums_.erase(window);
}

std::optional<CGRect> LiveTiles::release(WindowID window) {
  std::erase(order_, window);
  minimums_.erase(window);
  auto found = original_.find(window);
  if (found == original_.end()) return std::nullopt;
  CGRect frame = found->second;
  original_.erase(found);
  return frame;
}

void LiveTiles::keep(const std::set<WindowID>& only) {
  auto gone = [&](WindowID window) { return !only.contains(window); };
  std::erase_if(order_, gone);
  std::erase_if(original_, [&](const auto& entry) { return gone(entry.first); });
  std::erase_if(minimums_, [&](const auto& entry) { return gone(entry.first); });
  for (auto& [displayID, tiling] : tilings)
    for (auto window : tiling.windowIDs())
      if (gone(window)) tiling.remove(window);
}

std::set<WindowID> LiveTiles::windows() const {
  auto all = tiledWindows(tilings);
  all.insert(order_.begin(), order_.end());
  for (const auto& [window, frame] : original_)
    all.insert(window);
  for (const auto& [window, minimum] : minimums_)
    all.insert(window);
  return all;
}

std::optional<CGRect> LiveTiles::original(WindowID window) const {
  auto found = original_.find(window);
  if (found == original_.end()) return std::nullopt;
  return found->second;
}

MinimumSize LiveTiles::minimum(WindowID window) const {
  auto found = minimums_.find(window);
  return found == minimums_.end() ? MinimumSize{} : found->second;
}

const Tiling* LiveTiles::tiling(const std::string& displayID) const {
  auto found = tilings.find(displayID);
  return found == tilings.end() ? nullptr : &found->second;
}

std::optional<LayoutSolution> LiveTiles::solved(const std::string& displayID) const {
  const Tiling* tiled = tiling(displayID);
  auto display = setup.displayWithID(displayID);
  if (!tiled || !display) return std::nullopt;
  return tiled->solve(display->visibleFrame, gaps, minimums_);
}

std::map<WindowID, CGRect> LiveTiles::frames(const std::string& displayID) const {
  std::map<WindowID, CGRect> frames;
  auto solution = solved(displayID);
  if (!solution) return frames;
  const Tiling& tiled = *tiling(displayID);
  for (std::size_t slot = 0; slot < tiled.windows.size(); ++slot)
    if (tiled.windows[slot] && slot < solution->tileFrames.size())
      frames.emplace(*tiled.windows[slot], solution->tileFrames[slot]);
  return frames;
}

void to_json(nlohmann::json& json, const LiveTiles& live) {
  json = nlohmann::json{{"displays", live.setup.displays},
                        {"gaps", live.gaps},
                        {"tilings", live.tilings},
                        {"order", live.order_},
                        {"original", keyedByWindow(live.original_)},
                        {"minimums", keyedByWindow(live.minimums_)}};
}

void from_json(const nlohmann::json& json, LiveTiles& live) {
  coding::requireObject(json, "live tiles");
  live = LiveTiles(DisplaySetup{coding::lossyList<DisplayInfo>(json, "displays")},
                   coding::value<Gaps>(json, "gaps", Gaps{}),
                   coding::lossyMap<Tiling>(json, "tilings"));
  for (auto& [displayID, tiling] : live.tilings)
    tiling.displayID = displayID;
  for (auto window : coding::lossyList<WindowID>(json, "order"))
    if (std::find(live.order_.begin(), live.order_.end(), window) == live.order_.end())
      live.order_.push_back(window);
  live.original_ = byWindow<CGRect>(json, "original");
  live.minimums_ = byWindow<MinimumSize>(json, "minimums");
}

}  // namespace kestles
