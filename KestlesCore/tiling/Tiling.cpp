#include "KestlesCore/tiling/Tiling.hpp"

#include <algorithm>
#include <utility>

#include "KestlesCore/coding/Lossy.hpp"
#include "KestlesCore/model/Hashing.hpp"

namespace kestles {
namespace {

bool hasArea(const CGRect& unit) {
  return unit.width() > 0 && unit.height() > 0;
}

/// The part of a rectangle inside the unit square, or nothing when none of it is.
std::optional<CGRect> clampedToUnit(const CGRect& unit) {
  auto inside = unit.standardized().intersection(CGRect(0, 0, 1, 1));
  if (!inside || !hasArea(*inside)) return std::nullopt;
  return inside;
}

/// A drawn tile's rectangle cut in two along the edge: the part toward the edge first.
std::pair<CGRect, CGRect> halves(const CGRect& unit, TileEdge toward) {
  double w = unit.width() / 2, h = unit.height() / 2;
  CGRect left(unit.minX(), unit.minY(), w, unit.height());
  CGRect right(unit.minX() + w, unit.minY(), w, unit.height());
  CGRect top(unit.minX(), unit.minY(), unit.width(), h);
  CGRect bottom(unit.minX(), unit.minY() + h, unit.width(), h);
  switch (toward) {
    case TileEdge::left:
      return {left, right};
    case TileEdge::right:
      return {right, left};
    case TileEdge::top:
      return {top, bottom};
    case TileEdge::bottom:
      break;
  }
  return {bottom, top};
}

std::vector<DrawnTile> drawnFromTree(const LayoutNode& tree) {
  auto solution = LayoutSolver::solve(tree, CGRect(0, 0, 1, 1), Gaps{0, 0}, {}, true);
  std::vector<DrawnTile> tiles;
  for (std::size_t i = 0; i < solution.tileIDs.size(); ++i)
    tiles.push_back({solution.tileIDs[i], solution.tileFrames[i]});
  return tiles;
}

}  // namespace

Tiling Tiling::make(std::string displayID, TileShape shape, std::optional<LayoutRef> layout,
                    const std::vector<WindowID>& windows) {
  Tiling tiling{std::move(displayID), std::move(shape), std::move(layout), {}, std::nullopt};
  tiling.windows.assign(tiling.shape.tileCount(), std::nullopt);
  for (std::size_t i = 0; i < windows.size() && i < tiling.windows.size(); ++i)
    tiling.windows[i] = windows[i];
  return tiling;
}

std::vector<WindowID> Tiling::windowIDs() const {
  std::vector<WindowID> present;
  for (const auto& window : windows)
    if (window) present.push_back(*window);
  return present;
}

std::optional<int> Tiling::tileOf(WindowID window) const {
  for (std::size_t i = 0; i < windows.size(); ++i)
    if (windows[i] == window) return static_cast<int>(i);
  return std::nullopt;
}

std::optional<WindowID> Tiling::windowIn(int slot) const {
  if (slot < 0 || slot >= static_cast<int>(windows.size())) return std::nullopt;
  return windows[slot];
}

std::optional<UUID> Tiling::tileID(int slot) const {
  auto ids = shape.tileIDs();
  if (slot < 0 || slot >= static_cast<int>(ids.size())) return std::nullopt;
  return ids[slot];
}

std::optional<int> Tiling::tileIndex(const UUID& tile) const {
  auto ids = shape.tileIDs();
  auto found = std::find(ids.begin(), ids.end(), tile);
  if (found == ids.end()) return std::nullopt;
  return static_cast<int>(found - ids.begin());
}

void Tiling::forgetZoomUnlessAt(std::optional<int> zoomedSlot) {
  if (zoomed && (!zoomedSlot || tileOf(*zoomed) != zoomedSlot)) zoomed.reset();
}

void Tiling::reshape(TileShape newShape) {
  auto oldIDs = shape.tileIDs();
  std::map<UUID, WindowID> byTile;
  for (std::size_t i = 0; i < oldIDs.size() && i < windows.size(); ++i)
    if (windows[i]) byTile.emplace(oldIDs[i], *windows[i]);
  auto zoomedSlot = zoomed ? tileOf(*zoomed) : std::nullopt;

  shape = std::move(newShape);
  layout.reset();
  auto newIDs = shape.tileIDs();
  windows.assign(newIDs.size(), std::nullopt);
  for (std::size_t i = 0; i < newIDs.size(); ++i)
    if (auto found = byTile.find(newIDs[i]); found != byTile.end()) windows[i] = found->second;
  forgetZoomUnlessAt(zoomedSlot);
}

std::vector<WindowID> Tiling::apply(TileShape newShape, std::optional<LayoutRef> newLayout) {
  auto present = windowIDs();
  auto zoomedSlot = zoomed ? tileOf(*zoomed) : std::nullopt;
  bool shapeChanged = !(shape == newShape);
  shape = std::move(newShape);
  layout = std::move(newLayout);
  windows.assign(shape.tileCount(), std::nullopt);
  std::vector<WindowID> untiled;
  for (std::size_t i = 0; i < present.size(); ++i) {
    if (i < windows.size())
      windows[i] = present[i];
    else
      untiled.push_back(present[i]);
  }
  if (shapeChanged) zoomed.reset();
  forgetZoomUnlessAt(zoomedSlot);
  return untiled;
}

bool Tiling::rotate(int by) {
  std::vector<std::size_t> occupied;
  for (std::size_t i = 0; i < windows.size(); ++i)
    if (windows[i]) occupied.push_back(i);
  int count = static_cast<int>(occupied.size());
  if (count < 2) return false;
  int step = ((by % count) + count) % count;
  if (step == 0) return false;
  auto zoomedSlot = zoomed ? tileOf(*zoomed) : std::nullopt;
  auto before = windows;
  for (int j = 0; j < count; ++j)
    windows[occupied[(j + step) % count]] = before[occupied[j]];
  forgetZoomUnlessAt(zoomedSlot);
  return true;
}

bool Tiling::flip(Retile::Flip axis) {
  auto flipped = shape.flipped(axis == Retile::Flip::horizontal ? Split::columns : Split::rows);
  if (flipped == shape) return false;
  reshape(std::move(flipped));
  return true;
}

bool Tiling::turn(std::optional<WindowID> around) {
  const LayoutNode* root = shape.treeNode();
  if (!root || !root->isContainer()) return false;
  UUID target = root->id;
  if (auto slot = around ? tileOf(*around) : std::nullopt)
    if (auto parent = root->parentID(*tileID(*slot))) target = *parent;
  LayoutNode turned = *root;
  turned.toggleSplit(target);
  reshape(TileShape::tree(std::move(turned)));
  return true;
}

bool Tiling::evenOut() {
  const LayoutNode* root = shape.treeNode();
  if (!root) return false;
  LayoutNode evened = root->evened();
  if (evened == *root) return false;
  reshape(TileShape::tree(std::move(evened)));
  return true;
}

bool Tiling::retile(const Retile& retile, std::optional<WindowID> around) {
  return std::visit(
      [&](const auto& step) -> bool {
        using Step = std::decay_t<decltype(step)>;
        if constexpr (std::is_same_v<Step, Retile::EvenOut>)
          return evenOut();
        else if constexpr (std::is_same_v<Step, Retile::Rotate>)
          return rotate(step.by);
        else if constexpr (std::is_same_v<Step, Retile::FlipTiles>)
          return flip(step.axis);
        else
          return turn(around);
      },
      retile.value);
}

std::optional<int> Tiling::remove(WindowID window) {
  auto slot = tileOf(window);
  if (!slot) return std::nullopt;
  windows[*slot].reset();
  if (zoomed == window) zoomed.reset();
  return slot;
}

std::optional<int> Tiling::restore(WindowID window, int slot) {
  auto current = tileOf(window);
  bool free = slot >= 0 && slot < static_cast<int>(windows.size()) &&
              (!windows[slot] || windows[slot] == window);
  if (!free) {
    if (current) return current;
    auto empty = std::find(windows.begin(), windows.end(), std::nullopt);
    if (empty == windows.end()) return current;
    slot = static_cast<int>(empty - windows.begin());
  }
  if (current && *current != slot) {
    windows[*current].reset();
    if (zoomed == window) zoomed.reset();
  }
  windows[slot] = window;
  return slot;
}

bool Tiling::swap(int first, int second) {
  int count = static_cast<int>(windows.size());
  if (first == second || first < 0 || second < 0 || first >= count || second >= count) return false;
  if (zoomed && (windows[first] == zoomed || windows[second] == zoomed)) zoomed.reset();
  std::swap(windows[first], windows[second]);
  return true;
}

bool Tiling::zoom(std::optional<WindowID> window) {
  if (window && !contains(*window)) return false;
  if (zoomed == window) return false;
  zoomed = window;
  return true;
}

std::optional<int> Tiling::insert(int beside, TileEdge toward) {
  auto target = tileID(beside);
  if (!target) return std::nullopt;
  if (const LayoutNode* root = shape.treeNode()) {
    LayoutNode grown = *root;
    auto added = grown.insertTile(*target, toward);
    if (!added) return std::nullopt;
    reshape(TileShape::tree(std::move(grown)));
    return tileIndex(*added);
  }
  auto tiles = *shape.drawnTiles();
  auto [part, rest] = halves(tiles[beside].unit, toward);
  tiles[beside].unit = rest;
  DrawnTile added{UUID::random(), part};
  tiles.insert(tiles.begin() + beside + (isAfter(toward) ? 1 : 0), added);
  reshape(TileShape::drawn(std::move(tiles)));
  return tileIndex(added.id);
}

std::optional<WindowID> Tiling::closeTile(int slot, bool givingRoomToNeighbour) {
  auto target = tileID(slot);
  if (!target || shape.tileCount() < 2) return std::nullopt;
  auto window = windowIn(slot);
  if (const LayoutNode* root = shape.treeNode()) {
    LayoutNode shrunk = *root;
    if (!shrunk.remove(*target, givingRoomToNeighbour)) return std::nullopt;
    reshape(TileShape::tree(std::move(shrunk)));
  } else {
    auto tiles = *shape.drawnTiles();
    tiles.erase(tiles.begin() + slot);
    reshape(TileShape::drawn(std::move(tiles)));
  }
  return window;
}

bool Tiling::move(const Divider& divider, double position) {
  const LayoutNode* root = shape.treeNode();
  if (!root || divider.end <= divider.start) return false;
  LayoutNode moved = *root;
  double fraction = (position - divider.start) / (divider.end - divider.start);
  if (!moved.setDivider(divider.splitID, divider.index, fraction) || moved == *root) return false;
  reshape(TileShape::tree(std::move(moved)));
  return true;
}

std::optional<int> Tiling::draw(const CGRect& unit) {
  auto clamped = clampedToUnit(unit);
  if (!clamped) return std::nullopt;
  auto tiles = shape.treeNode() ? drawnFromTree(*shape.treeNode()) : *shape.drawnTiles();
  DrawnTile added{UUID::random(), *clamped};
  tiles.push_back(added);
  reshape(TileShape::drawn(std::move(tiles)));
  return tileIndex(added.id);
}

bool Tiling::setUnit(const CGRect& unit, int ofTile) {
  const auto* drawn = shape.drawnTiles();
  auto clamped = clampedToUnit(unit);
  if (!drawn || !clamped || ofTile < 0 || ofTile >= static_cast<int>(drawn->size())) return false;
  if ((*drawn)[ofTile].unit == *clamped) return false;
  auto tiles = *drawn;
  tiles[ofTile].unit = *clamped;
  reshape(TileShape::drawn(std::move(tiles)));
  return true;
}

std::vector<MinimumSize> Tiling::minimumsBySlot(
    const std::map<WindowID, MinimumSize>& minimums) const {
  std::vector<MinimumSize> bySlot(windows.size());
  for (std::size_t i = 0; i < windows.size(); ++i)
    if (windows[i])
      if (auto found = minimums.find(*windows[i]); found != minimums.end())
        bySlot[i] = found->second;
  return bySlot;
}

LayoutSolution Tiling::solve(const CGRect& visibleFrame, const Gaps& gaps,
                             const std::map<WindowID, MinimumSize>& minimums) const {
  return LayoutSolver::solve(shape, visibleFrame, gaps, minimumsBySlot(minimums));
}

std::map<WindowID, CGRect> Tiling::frames(const CGRect& visibleFrame, const Gaps& gaps,
                                          const std::map<WindowID, MinimumSize>& minimums) const {
  auto solution = solve(visibleFrame, gaps, minimums);
  std::map<WindowID, CGRect> byWindow;
  for (std::size_t i = 0; i < windows.size() && i < solution.tileFrames.size(); ++i)
    if (windows[i]) byWindow.emplace(*windows[i], solution.tileFrames[i]);
  return byWindow;
}

std::vector<Divider> Tiling::dividers(const CGRect& visibleFrame, const Gaps& gaps,
                                      const std::map<WindowID, MinimumSize>& minimums) const {
  const LayoutNode* root = shape.treeNode();
  if (!root) return {};
  return LayoutSolver::dividers(*root, visibleFrame, gaps, minimumsBySlot(minimums));
}

nlohmann::json slotsJSON(const std::vector<std::optional<std::uint32_t>>& slots) {
  auto array = nlohmann::json::array();
  for (const auto& window : slots)
    array.push_back(window ? nlohmann::json(*window) : nlohmann::json(nullptr));
  return array;
}

std::vector<std::optional<std::uint32_t>> slotsFromJSON(const nlohmann::json* array) {
  std::vector<std::optional<std::uint32_t>> slots;
  if (array && array->is_array())
    for (const auto& slot : *array)
      slots.push_back(Lossy<std::uint32_t>::decoded(slot).value);
  return slots;
}

void to_json(nlohmann::json& json, const Tiling& tiling) {
  json = {{"displayID", tiling.displayID},
          {"shape", tiling.shape},
          {"windows", slotsJSON(tiling.windows)}};
  coding::putOptional(json, "layout", tiling.layout);
  coding::putOptional(json, "zoomed", tiling.zoomed);
}

void from_json(const nlohmann::json& json, Tiling& tiling) {
  coding::requireObject(json, "a tiling");
  Tiling read;
  read.displayID = coding::required<std::string>(json, "displayID");
  read.shape = json.at("shape").get<TileShape>();
  read.layout = coding::optional<LayoutRef>(json, "layout");
  read.windows.assign(read.shape.tileCount(), std::nullopt);
  auto slots = slotsFromJSON(coding::member(json, "windows"));
  for (std::size_t i = 0; i < slots.size() && i < read.windows.size(); ++i)
    if (slots[i] && !read.contains(*slots[i])) read.windows[i] = slots[i];
  read.zoomed = coding::optional<WindowID>(json, "zoomed");
  if (read.zoomed && !read.contains(*read.zoomed)) read.zoomed.reset();
  tiling = std::move(read);
}

}  // namespace kestles

std::size_t std::hash<kestles::Tiling>::operator()(const kestles::Tiling& tiling) const noexcept {
  std::size_t seed = std::hash<std::string>{}(tiling.displayID);
  kestles::hashCombine(seed, std::hash<kestles::TileShape>{}(tiling.shape));
  kestles::hashCombine(seed, kestles::optionalHash(tiling.layout));
  kestles::hashCombine(seed, tiling.windows.size());
  for (const auto& slot : tiling.windows)
    kestles::hashCombine(seed, kestles::optionalHash(slot));
  kestles::hashCombine(seed, kestles::optionalHash(tiling.zoomed));
  return seed;
}
