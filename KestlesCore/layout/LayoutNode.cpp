#include "KestlesCore/layout/LayoutNode.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"
#include "KestlesCore/model/Hashing.hpp"

#include "KestlesCore/coding/JSONNumber.hpp"

namespace kestles {
namespace {

template <class Visit>
void forEachLeaf(const LayoutNode& node, Visit& visit) {
  if (node.isLeaf()) {
    visit(node);
    return;
  }
  for (const auto& child : node.children)
    forEachLeaf(child, visit);
}

template <class Node>
Node* findNode(Node& node, const UUID& id) {
  if (node.id == id) return &node;
  for (auto& child : node.children)
    if (auto* found = findNode(child, id)) return found;
  return nullptr;
}

/// A container left with one child gives way to that child, which takes its weight.
void collapseIfSingle(LayoutNode& node) {
  if (!node.split || node.children.size() != 1) return;
  double weight = node.weight;
  LayoutNode only = std::move(node.children.front());
  only.weight = weight;
  node = std::move(only);
}

/// The sibling at the index may take a removed sibling's room when it is no spacer.
bool canTakeRoom(const std::vector<LayoutNode>& siblings, std::size_t index) {
  return index < siblings.size() && !siblings[index].isSpacer;
}

bool removeFrom(LayoutNode& node, const UUID& id, bool givingRoom) {
  auto& children = node.children;
  for (std::size_t i = 0; i < children.size(); ++i) {
    if (children[i].id != id) continue;
    double weight = children[i].weight;
    children.erase(children.begin() + static_cast<std::ptrdiff_t>(i));
    if (givingRoom) {
      if (i > 0 && canTakeRoom(children, i - 1))
        children[i - 1].weight += weight;
      else if (canTakeRoom(children, i))
        children[i].weight += weight;
    }
    collapseIfSingle(node);
    return true;
  }
  for (auto& child : children) {
    if (removeFrom(child, id, givingRoom)) {
      collapseIfSingle(child);
      return true;
    }
  }
  return false;
}

LayoutNode container(Split split, std::vector<LayoutNode> children, double weight) {
  LayoutNode node;
  node.id = UUID::random();
  node.weight = weight;
  node.split = split;
  node.children = std::move(children);
  return node;
}

/// Replaces the tile by a container along the axis holding the tile and the new tile.
void wrapWithNewTile(LayoutNode& node, const LayoutNode& newTile, Split along, bool after) {
  double weight = node.weight;
  LayoutNode old = std::move(node);
  old.weight = 1.0;
  std::vector<LayoutNode> pair;
  pair.reserve(2);
  if (after) {
    pair.push_back(std::move(old));
    pair.push_back(newTile);
  } else {
    pair.push_back(newTile);
    pair.push_back(std::move(old));
  }
  node = container(along, std::move(pair), weight);
}

std::optional<UUID> insertInto(LayoutNode& node, const UUID& beside, TileEdge toward) {
  Split along = axis(toward);
  bool after = isAfter(toward);
  if (node.id == beside) {
    if (node.isContainer() || node.isSpacer) return std::nullopt;
    auto newTile = LayoutNode::tile();
    wrapWithNewTile(node, newTile, along, after);
    return newTile.id;
  }
  auto& children = node.children;
  if (node.isContainer() && node.split == along) {
    for (std::size_t i = 0; i < children.size(); ++i) {
      if (children[i].id != beside || !children[i].isTile()) continue;
      children[i].weight *= 0.5;
      auto newTile = LayoutNode::tile(children[i].weight);
      auto at = static_cast<std::ptrdiff_t>(after ? i + 1 : i);
      children.insert(children.begin() + at, newTile);
      return newTile.id;
    }
  }
  for (auto& child : children)
    if (auto id = insertInto(child, beside, toward)) return id;
  return std::nullopt;
}

/// A copy with `change` applied to every node, children first.
template <class Change>
LayoutNode transformed(const LayoutNode& node, Change& change) {
  LayoutNode copy = node;
  for (auto& child : copy.children)
    child = transformed(child, change);
  change(copy);
  return copy;
}

double clampedDividerFraction(double fraction) {
  if (fraction <= 0.05) return 0.05;
  if (fraction > 0.95) return 0.95;
  return fraction;
}

/// The value of a key, or null when it is missing or null.
const nlohmann::json* field(const nlohmann::json& json, const char* key) {
  auto found = json.find(key);
  if (found == json.end() || found->is_null()) return nullptr;
  return &*found;
}

}  // namespace

LayoutNode LayoutNode::tile(double weight, std::optional<int> rank) {
  LayoutNode node;
  node.id = UUID::random();
  node.weight = weight;
  node.rank = rank;
  return node;
}

LayoutNode LayoutNode::spacer(double weight) {
  LayoutNode node;
  node.id = UUID::random();
  node.weight = weight;
  node.isSpacer = true;
  return node;
}

LayoutNode LayoutNode::columns(std::vector<LayoutNode> children, double weight) {
  return container(Split::columns, std::move(children), weight);
}

LayoutNode LayoutNode::rows(std::vector<LayoutNode> children, double weight) {
  return container(Split::rows, std::move(children), weight);
}

std::vector<LayoutNode> LayoutNode::leaves() const {
  std::vector<LayoutNode> result;
  auto collect = [&](const LayoutNode& leaf) { result.push_back(leaf); };
  forEachLeaf(*this, collect);
  return result;
}

std::vector<UUID> LayoutNode::tileOrder() const {
  struct Entry {
    std::optional<int> rank;
    UUID id;
  };
  std::vector<Entry> tiles;
  auto collect = [&](const LayoutNode& leaf) {
    if (!leaf.isSpacer) tiles.push_back({leaf.rank, leaf.id});
  };
  forEachLeaf(*this, collect);
  // Ranked tiles first by rank; the stable sort keeps position order among equals.
  std::stable_sort(tiles.begin(), tiles.end(), [](const Entry& a, const Entry& b) {
    if (a.rank && b.rank) return *a.rank < *b.rank;
    return a.rank.has_value() && !b.rank.has_value();
  });
  std::vector<UUID> order;
  order.reserve(tiles.size());
  for (const auto& entry : tiles)
    order.push_back(entry.id);
  return order;
}

std::size_t LayoutNode::tileCount() const {
  std::size_t count = 0;
  auto counter = [&](const LayoutNode& leaf) { count += leaf.isSpacer ? 0 : 1; };
  forEachLeaf(*this, counter);
  return count;
}

const LayoutNode* LayoutNode::node(const UUID& nodeID) const {
  return findNode(*this, nodeID);
}

LayoutNode* LayoutNode::node(const UUID& nodeID) {
  return findNode(*this, nodeID);
}

std::optional<UUID> LayoutNode::parentID(const UUID& childID) const {
  for (const auto& child : children)
    if (child.id == childID) return id;
  for (const auto& child : children)
    if (auto found = child.parentID(childID)) return found;
  return std::nullopt;
}

bool LayoutNode::update(const UUID& nodeID, const std::function<void(LayoutNode&)>& mutation) {
  auto* target = node(nodeID);
  if (!target) return false;
  mutation(*target);
  return true;
}

bool LayoutNode::toggleSplit(const UUID& nodeID) {
  return update(nodeID, [](LayoutNode& target) {
    if (target.split) target.split = toggled(*target.split);
  });
}

bool LayoutNode::setDivider(const UUID& containerID, int after, double fraction) {
  auto* target = node(containerID);
  if (!target) return false;
  auto& pair = target->children;
  if (after < 0 || static_cast<std::size_t>(after) + 1 >= pair.size() || std::isnan(fraction))
    return true;
  auto k = static_cast<std::size_t>(after);
  double sum = pair[k].weight + pair[k + 1].weight;
  double clamped = clampedDividerFraction(fraction);
  pair[k].weight = sum * clamped;
  pair[k + 1].weight = sum * (1 - clamped);
  return true;
}

bool LayoutNode::remove(const UUID& nodeID, bool givingRoomToNeighbour) {
  return removeFrom(*this, nodeID, givingRoomToNeighbour);
}

std::optional<UUID> LayoutNode::splitLeaf(const UUID& nodeID, Split along) {
  auto* target = node(nodeID);
  if (!target || target->isContainer()) return std::nullopt;
  auto newTile = tile();
  wrapWithNewTile(*target, newTile, along, true);
  target->children.front().rank.reset();
  return newTile.id;
}

std::optional<UUID> LayoutNode::insertTile(const UUID& beside, TileEdge toward) {
  return insertInto(*this, beside, toward);
}

LayoutNode LayoutNode::evened() const {
  auto even = [](LayoutNode& node) {
    double sum = 0;
    int count = 0;
    for (const auto& child : node.children) {
      if (child.isSpacer) continue;
      sum += child.weight;
      ++count;
    }
    if (count < 2) return;
    for (auto& child : node.children)
      if (!child.isSpacer) child.weight = sum / count;
  };
  return transformed(*this, even);
}

LayoutNode LayoutNode::mirrored(Split axis) const {
  auto mirror = [axis](LayoutNode& node) {
    if (node.split == axis) std::reverse(node.children.begin(), node.children.end());
  };
  return transformed(*this, mirror);
}

LayoutNode LayoutNode::transposed() const {
  auto transpose = [](LayoutNode& node) {
    if (node.split) node.split = toggled(*node.split);
  };
  return transformed(*this, transpose);
}

LayoutNode LayoutNode::unranked() const {
  auto unrank = [](LayoutNode& node) { node.rank.reset(); };
  return transformed(*this, unrank);
}

void to_json(nlohmann::json& json, const LayoutNode& node) {
  json = nlohmann::json::object();
  json["id"] = node.id;
  if (node.weight != 1.0) json["weight"] = jsonNumber(node.weight);
  if (node.split) json["split"] = *node.split;
  if (!node.children.empty()) json["children"] = node.children;
  if (node.isSpacer) json["isSpacer"] = true;
  if (node.rank) json["rank"] = *node.rank;
}

void from_json(const nlohmann::json& json, LayoutNode& node) {
  if (!json.is_object()) throw coding::DecodeError("Expected a layout node object.");
  LayoutNode read;
  if (auto* id = field(json, "id"))
    read.id = coding::decode<UUID>(*id);
  else
    read.id = UUID::random();
  if (auto* weight = field(json, "weight")) read.weight = readNumber(*weight);
  if (auto* split = field(json, "split")) read.split = coding::decode<Split>(*split);
  if (auto* children = field(json, "children"))
    read.children = coding::decode<std::vector<LayoutNode>>(*children);
  if (auto* spacer = field(json, "isSpacer")) read.isSpacer = coding::decode<bool>(*spacer);
  if (auto* rank = field(json, "rank")) {
    if (!rank->is_number_integer()) throw coding::DecodeError("Expected an integer rank.");
    read.rank = coding::decode<int>(*rank);
  }
  node = std::move(read);
}

}  // namespace kestles

std::size_t std::hash<kestles::LayoutNode>::operator()(
    const kestles::LayoutNode& node) const noexcept {
  std::size_t seed = std::hash<kestles::UUID>{}(node.id);
  kestles::hashCombine(seed, std::hash<double>{}(node.weight));
  kestles::hashCombine(seed, node.split ? std::hash<std::string_view>{}(rawValue(*node.split)) : 0);
  kestles::hashCombine(seed, node.children.size());
  for (const auto& child : node.children)
    kestles::hashCombine(seed, (*this)(child));
  kestles::hashCombine(seed, node.isSpacer ? 1 : 2);
  kestles::hashCombine(seed, node.rank ? std::hash<int>{}(*node.rank) : 0x5A5A);
  return seed;
}
