#include "KestlesCore/tiling/LayoutInference.hpp"

#include <algorithm>

namespace kestles {
namespace {

struct Span {
  double start;
  double end;
};

Span along(const CGRect& rect, Split axis) {
  return axis == Split::columns ? Span{rect.minX(), rect.maxX()} : Span{rect.minY(), rect.maxY()};
}

CGRect slice(const CGRect& area, Split axis, Span span) {
  if (axis == Split::columns)
    return {span.start, area.minY(), span.end - span.start, area.height()};
  return {area.minX(), span.start, area.width(), span.end - span.start};
}

struct Group {
  std::vector<std::size_t> members;
  Span extent;
};

class Inference {
 public:
  explicit Inference(std::span<const CGRect> frames) : frames_(frames) {}

  std::optional<LayoutNode> node(std::vector<std::size_t> members, const CGRect& area,
                                 double weight) {
    if (members.size() == 1) {
      tileFrames.push_back(members.front());
      return LayoutNode::tile(weight);
    }
    for (Split axis : {Split::columns, Split::rows}) {
      auto groups = grouped(members, axis);
      if (groups.size() > 1) return container(groups, axis, area, weight);
    }
    return std::nullopt;
  }

  std::vector<std::size_t> tileFrames;  // frames in the order their tiles were made

 private:
  std::vector<Group> grouped(std::vector<std::size_t> members, Split axis) const {
    std::stable_sort(members.begin(), members.end(), [&](std::size_t a, std::size_t b) {
      return along(frames_[a], axis).start < along(frames_[b], axis).start;
    });
    std::vector<Group> groups;
    for (std::size_t index : members) {
      Span span = along(frames_[index], axis);
      if (groups.empty() || span.start >= groups.back().extent.end - LayoutInference::kOverlap) {
        groups.push_back({{index}, span});
      } else {
        groups.back().members.push_back(index);
        groups.back().extent.end = std::max(groups.back().extent.end, span.end);
      }
    }
    return groups;
  }

  std::optional<LayoutNode> container(const std::vector<Group>& groups, Split axis,
                                      const CGRect& area, double weight) {
    std::vector<LayoutNode> children;
    double cursor = along(area, axis).start;
    for (const auto& group : groups) {
      if (group.extent.start - cursor > LayoutInference::kSpacer)
        children.push_back(LayoutNode::spacer(group.extent.start - cursor));
      auto child = node(group.members, slice(area, axis, group.extent),
                        group.extent.end - group.extent.start);
      if (!child) return std::nullopt;
      children.push_back(std::move(*child));
      cursor = group.extent.end;
    }
    if (along(area, axis).end - cursor > LayoutInference::kSpacer)
      children.push_back(LayoutNode::spacer(along(area, axis).end - cursor));
    return axis == Split::columns ? LayoutNode::columns(std::move(children), weight)
                                  : LayoutNode::rows(std::move(children), weight);
  }

  std::span<const CGRect> frames_;
};

}  // namespace

std::optional<LayoutInference::Result> LayoutInference::infer(std::span<const CGRect> frames,
                                                              const CGRect& area) {
  if (frames.empty()) return std::nullopt;
  std::vector<std::size_t> all(frames.size());
  for (std::size_t i = 0; i < all.size(); ++i)
    all[i] = i;
  Inference inference(frames);
  auto tree = inference.node(std::move(all), area, 1.0);
  if (!tree) return std::nullopt;
  // Tiles were made in depth-first order, which is the tile order of an unranked tree.
  return Result{std::move(*tree), std::move(inference.tileFrames)};
}

}  // namespace kestles
