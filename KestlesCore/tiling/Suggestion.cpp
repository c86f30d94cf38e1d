#include "KestlesCore/tiling/Suggestion.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"
#include "KestlesCore/layout/LayoutSolver.hpp"
#include "KestlesCore/layout/LayoutStrip.hpp"
#include "KestlesCore/tiling/Tiling.hpp"

namespace kestles {
namespace {

// The id prefixes, written once.
constexpr std::string_view kSavedPrefix = "saved:";
constexpr std::string_view kTemplatePrefix = "template:";
constexpr std::string_view kKestlePrefix = "kestle:";
constexpr std::string_view kAppPrefix = "app:";
constexpr std::string_view kShapePrefix = "shape:";

long thousandths(double value) {
  return std::lround(value * 1000);
}

}  // namespace

std::vector<CGRect> sortedTopToBottom(std::vector<CGRect> frames) {
  // Keys are worked out once per frame; frames with equal keys are equal within the
  // tolerance, so their order does not matter.
  using Key = std::array<long, 4>;
  std::vector<std::pair<Key, CGRect>> keyed;
  keyed.reserve(frames.size());
  for (const auto& frame : frames)
    keyed.push_back({Key{thousandths(frame.minY()), thousandths(frame.minX()),
                         thousandths(frame.width()), thousandths(frame.height())},
                     frame});
  std::sort(keyed.begin(), keyed.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 0; i < keyed.size(); ++i)
    frames[i] = keyed[i].second;
  return frames;
}

std::vector<std::optional<std::uint32_t>> Suggestion::windowSlots() const {
  std::vector<std::optional<std::uint32_t>> slots;
  slots.reserve(tiles.size());
  for (const auto& occupant : tiles)
    slots.push_back(occupant ? occupant->window : std::nullopt);
  return slots;
}

bool Suggestion::isInPlace() const {
  auto placed = std::count_if(tiles.begin(), tiles.end(),
                              [](const auto& occupant) { return occupant && occupant->window; });
  return placed > 0 && stays == placed;
}

std::optional<Suggestion::Arrangement> Suggestion::arrangement(const std::string& displayID) const {
  const auto* tilesKind = std::get_if<Kind::Tiles>(&kind.value);
  if (!tilesKind) return std::nullopt;
  return Arrangement{displayID, tilesKind->shape, tilesKind->layout, windowSlots(), title,
                     id,        fillsFromScreen};
}

std::string suggestionID(const LayoutRef& layout) {
  if (auto saved = layout.savedID()) return std::string(kSavedPrefix) + saved->uuidString();
  return std::string(kTemplatePrefix) + std::get<LayoutRef::Template>(layout.value).identifier;
}

std::string kestleSuggestionID(const UUID& kestle) {
  return std::string(kKestlePrefix) + kestle.uuidString();
}

std::string appWindowsSuggestionID(std::string_view bundleID) {
  return std::string(kAppPrefix) + std::string(bundleID);
}

std::string shapeSuggestionID(const TileShape& shape) {
  return shapeSuggestionID(unitFrames(shape));
}

std::string shapeSuggestionID(const std::vector<CGRect>& unitFrames) {
  std::string id(kShapePrefix);
  bool first = true;
  for (const auto& frame : unitFrames) {
    char part[96];
    std::snprintf(part, sizeof part, "%s%ld,%ld,%ld,%ld", first ? "" : ";",
                  thousandths(frame.minX()), thousandths(frame.minY()), thousandths(frame.width()),
                  thousandths(frame.height()));
    id += part;
    first = false;
  }
  return id;
}

namespace {

bool hasRanks(const LayoutNode& node) {
  if (node.rank) return true;
  return std::any_of(node.children.begin(), node.children.end(), hasRanks);
}

/// The tiles of an unranked tree in tile order (depth first), each child taking its share
/// of the parent by weight. Weights are kept above zero as the solver keeps them.
void splitByWeight(const LayoutNode& node, double x, double y, double width, double height,
                   std::vector<CGRect>& tiles) {
  if (node.isLeaf()) {
    if (!node.isSpacer) tiles.emplace_back(x, y, width, height);
    return;
  }
  auto weightOf = [](const LayoutNode& child) { return std::max(child.weight, 0.0001); };
  double total = 0;
  for (const auto& child : node.children)
    total += weightOf(child);
  bool across = node.split == Split::columns;
  double length = across ? width : height;
  for (const auto& child : node.children) {
    double share = length * weightOf(child) / total;
    if (across) {
      splitByWeight(child, x, y, share, height, tiles);
      x += share;
    } else {
      splitByWeight(child, x, y, width, share, tiles);
      y += share;
    }
  }
}

}  // namespace

std::vector<CGRect> unitFrames(const TileShape& shape) {
  std::vector<CGRect> frames;
  if (const auto* tiles = shape.drawnTiles()) {
    frames.reserve(tiles->size());
    for (const auto& tile : *tiles)
      frames.push_back(tile.unit.standardized());
    return frames;
  }
  const LayoutNode& tree = *shape.treeNode();
  // Ranks reorder the tiles; the solver knows that order. Without gaps, minimums or
  // rounding, an unranked tree is only shares of shares, worked out here directly.
  if (hasRanks(tree))
    return LayoutSolver::solve(tree, CGRect(0, 0, 1, 1), Gaps{0, 0}, {}, true).tileFrames;
  frames.reserve(16);
  splitByWeight(tree, 0, 0, 1, 1, frames);
  return frames;
}

bool sameTiles(const std::vector<CGRect>& a, const std::vector<CGRect>& b) {
  if (a.size() != b.size()) return false;
  auto left = sortedTopToBottom(a), right = sortedTopToBottom(b);
  return LayoutStrip::sameFrames(left, right);
}

void to_json(nlohmann::json& json, const Suggestion::Arrangement& arrangement) {
  // The display, shape, layout and slots are a tiling's, and are written and mended alike.
  json = Tiling{arrangement.displayID, arrangement.shape, arrangement.layout, arrangement.windows,
                std::nullopt};
  json["title"] = arrangement.title;
  json["name"] = arrangement.name;
  json["fillsFromScreen"] = arrangement.fillsFromScreen;
}

void from_json(const nlohmann::json& json, Suggestion::Arrangement& arrangement) {
  auto tiling = json.get<Tiling>();
  arrangement = {std::move(tiling.displayID),
                 std::move(tiling.shape),
                 std::move(tiling.layout),
                 std::move(tiling.windows),
                 coding::value<std::string>(json, "title", ""),
                 coding::value<std::string>(json, "name", ""),
                 coding::value<bool>(json, "fillsFromScreen", false)};
}

}  // namespace kestles
