#include "KestlesCore/tiling/StyleShapes.hpp"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "KestlesCore/layout/LayoutSolver.hpp"
#include "KestlesCore/layout/Template.hpp"

namespace kestles {
namespace {

constexpr int kMostTiles = 9;

int wholeShare(double length, double per) {
  return static_cast<int>(std::floor(std::trunc(length) / per));
}

bool isPortrait(CGSize display) {
  return display.width < display.height;
}

LayoutNode templateTree(std::string_view id) {
  return *Template::withID(id)->shape.treeNode();
}

LayoutNode along(Split split, std::vector<LayoutNode> children, double weight = 1.0) {
  return split == Split::columns ? LayoutNode::columns(std::move(children), weight)
                                 : LayoutNode::rows(std::move(children), weight);
}

LayoutNode equalTiles(int count, Split split, double weight = 1.0) {
  std::vector<LayoutNode> tiles;
  for (int i = 0; i < count; ++i)
    tiles.push_back(LayoutNode::tile());
  return along(split, std::move(tiles), weight);
}

int spiralHalvings(double width, double height) {
  int halvings = 0;
  while (halvings < kMostTiles) {
    if (height <= width) {
      if (width / 2 < 360 || height < 240) break;
      width /= 2;
    } else {
      if (width < 360 || height / 2 < 240) break;
      height /= 2;
    }
    ++halvings;
  }
  return halvings;
}

LayoutNode columnsShape(int n, CGSize display) {
  bool portrait = isPortrait(display);
  if (n == 2) return templateTree(portrait ? "halves-stacked" : "halves");
  if (n == 3) return templateTree(portrait ? "thirds-stacked" : "thirds");
  if (n == 4 && !portrait) return templateTree("four-columns");
  return equalTiles(n, portrait ? Split::rows : Split::columns);
}

LayoutNode mainStackShape(int n, CGSize display) {
  bool portrait = isPortrait(display);
  if (!portrait && n == 2) return templateTree("two-thirds-third");
  if (!portrait && n == 3) return templateTree("main-stack-2");
  if (!portrait && n == 4) return templateTree("main-stack-3");
  Split root = portrait ? Split::rows : Split::columns;
  LayoutNode stack = n == 2 ? LayoutNode::tile(0.38) : equalTiles(n - 1, toggled(root), 0.38);
  return along(root, {LayoutNode::tile(0.62), std::move(stack)});
}

LayoutNode spiralOf(int n, double width, double height) {
  if (n <= 1) return LayoutNode::tile();
  if (height <= width)
    return LayoutNode::columns({LayoutNode::tile(), spiralOf(n - 1, width / 2, height)});
  return LayoutNode::rows({LayoutNode::tile(), spiralOf(n - 1, width, height / 2)});
}

LayoutNode spiralShape(int n, CGSize display) {
  if (n == 2) return templateTree(isPortrait(display) ? "halves-stacked" : "halves");
  return spiralOf(n, display.width, display.height);
}

/// The unit frames of a tree, sorted top to bottom and then left to right.
std::vector<CGRect> sortedUnitFrames(const LayoutNode& tree) {
  auto frames =
      LayoutSolver::solve(tree, CGRect(0, 0, 1, 1), Gaps{0, 0}, {}, /*unrounded=*/true).tileFrames;
  auto key = [](const CGRect& r) {
    return std::pair{std::lround(r.minY() * 1000), std::lround(r.minX() * 1000)};
  };
  std::sort(frames.begin(), frames.end(),
            [&](const CGRect& a, const CGRect& b) { return key(a) < key(b); });
  return frames;
}

bool sameUnitFrames(const LayoutNode& a, const LayoutNode& b) {
  auto left = sortedUnitFrames(a), right = sortedUnitFrames(b);
  if (left.size() != right.size()) return false;
  auto near = [](double x, double y) { return std::fabs(x - y) <= 0.002; };
  for (std::size_t i = 0; i < left.size(); ++i)
    if (!near(left[i].minX(), right[i].minX()) || !near(left[i].minY(), right[i].minY()) ||
        !near(left[i].width(), right[i].width()) || !near(left[i].height(), right[i].height()))
      return false;
  return true;
}

LayoutNode gridRows(int n, CGSize display) {
  int rowsMax = std::max(2, wholeShare(display.height, 450));
  int columns = std::max({2, wholeShare(display.width, 640), (n + rowsMax - 1) / rowsMax});
  columns = std::min(columns, static_cast<int>(std::ceil(std::sqrt(n))));
  int rows = (n + columns - 1) / columns;
  std::vector<LayoutNode> built;
  int remaining = n;
  for (int i = 0; i < rows; ++i) {
    int inRow = (remaining + (rows - i) - 1) / (rows - i);
    built.push_back(inRow == 1 ? LayoutNode::tile() : equalTiles(inRow, Split::columns));
    remaining -= inRow;
  }
  return built.size() == 1 ? std::move(built.front()) : LayoutNode::rows(std::move(built));
}

LayoutNode gridShape(int n, CGSize display) {
  bool landscape = display.height <= display.width;
  if (n == 2) return templateTree(landscape ? "halves" : "halves-stacked");
  if (n == 3) return templateTree(landscape ? "main-stack-2" : "thirds-stacked");
  if (n == 4) return templateTree("quarters");
  LayoutNode grid = gridRows(n, display);
  for (std::string_view id : {"three-by-two", "three-by-three"}) {
    LayoutNode candidate = templateTree(id);
    if (candidate.tileCount() == grid.tileCount() && sameUnitFrames(grid, candidate))
      return candidate;
  }
  return grid;
}

}  // namespace

int largestTileCount(TilingStyle style, CGSize display) {
  double w = display.width, h = display.height;
  int largest = 1;
  switch (style) {
    case TilingStyle::grid:
      largest = std::max(2, wholeShare(w, 640)) * std::max(2, wholeShare(h, 450));
      break;
    case TilingStyle::mainStack:
      largest = 1 + (w < h ? std::max(2, wholeShare(w, 360)) : std::max(2, wholeShare(h, 240)));
      break;
    case TilingStyle::columns:
      largest = w >= h ? std::max(2, wholeShare(w, 360)) : std::max(2, wholeShare(h, 240));
      break;
    case TilingStyle::spiral:
      largest = std::max(2, spiralHalvings(std::trunc(w), std::trunc(h)) + 1);
      break;
  }
  return std::min(largest, kMostTiles);
}

TileShape shapeForCount(int count, CGSize display, TilingStyle style, bool keepingAll) {
  int n = std::max(count, 1);
  if (!keepingAll) n = std::min(n, largestTileCount(style, display));
  if (n == 1) return TileShape::tree(LayoutNode::tile());
  switch (style) {
    case TilingStyle::grid:
      return TileShape::tree(gridShape(n, display));
    case TilingStyle::mainStack:
      return TileShape::tree(mainStackShape(n, display));
    case TilingStyle::spiral:
      return TileShape::tree(spiralShape(n, display));
    case TilingStyle::columns:
      break;
  }
  return TileShape::tree(columnsShape(n, display));
}

}  // namespace kestles
