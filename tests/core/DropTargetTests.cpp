#include "KestlesCore/tiling/DropTarget.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace kestles {
namespace {

// Two equal tiles side by side and, over the right one, a small floating one.
const std::vector<CGRect> kTiles{{0, 0, 500, 600}, {500, 0, 500, 600}, {700, 100, 100, 100}};

TEST(DropTargetTests, TargetOfAPoint) {
  struct Row {
    CGPoint point;
    std::optional<DropTarget> expected;
  };
  const Row rows[] = {
      {{250, 300}, DropTarget::tile(0)},
      {{500, 300}, DropTarget::beside(0, TileEdge::right)},  // a shared edge: the first tile
      {{750, 150}, DropTarget::tile(2)},                     // the smallest tile that holds it
      {{20, 300}, DropTarget::beside(0, TileEdge::left)},
      {{480, 300}, DropTarget::beside(0, TileEdge::right)},
      {{250, 10}, DropTarget::beside(0, TileEdge::top)},
      {{250, 590}, DropTarget::beside(0, TileEdge::bottom)},
      {{0, 0}, DropTarget::beside(0, TileEdge::left)},        // a corner: left before top
      {{1000, 600}, DropTarget::beside(1, TileEdge::right)},  // far corner, edges included
      {{1200, 300}, DropTarget::beside(1, TileEdge::right)},  // outside: the nearest tile
      {{-50, -50}, DropTarget::beside(0, TileEdge::left)},
      {{600, 300}, DropTarget::tile(1)},  // exactly at the band (0.2) is in
  };
  for (const auto& row : rows)
    EXPECT_EQ(DropTarget::target(row.point, kTiles, 0.2), row.expected)
        << row.point.x << ", " << row.point.y;
  EXPECT_EQ(DropTarget::target({500, 300}, kTiles, 0), DropTarget::tile(0));
  EXPECT_EQ(DropTarget::target({5, 5}, {}, 0.2), std::nullopt);
  // A tile without area cannot be split.
  const std::vector<CGRect> flat{{0, 0, 500, 0}};
  EXPECT_EQ(DropTarget::target({5, 0}, flat, 0.2), DropTarget::tile(0));
}

}  // namespace
}  // namespace kestles
