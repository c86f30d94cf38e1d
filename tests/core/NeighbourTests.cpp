#include "KestlesCore/tiling/Neighbour.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "KestlesCore/tiling/FocusMove.hpp"
#include "tests/core/TilingTestSupport.hpp"

namespace kestles {
namespace {

using namespace kestles::testing;

TEST(NeighbourTests, TwoTilesAboveAWideOne) {
  struct Row {
    const char* name;
    std::vector<CGRect> frames;  // the wide bottom tile is last
    std::optional<std::size_t> expected;
  };
  const Row rows[] = {
      {"equal overlaps and gaps: the first",
       {{0, 0, 500, 300}, {500, 0, 500, 300}, {0, 300, 1000, 300}},
       0},
      {"the larger overlap", {{0, 0, 400, 300}, {400, 0, 600, 300}, {0, 300, 1000, 300}}, 1},
      {"overlaps within a point: the nearer",
       {{0, 0, 499.5, 290}, {499.5, 0, 500.5, 300}, {0, 300, 1000, 300}},
       1},
      {"a point of overlap along the way still counts",
       {{0, 0, 1000, 301}, {0, 300, 1000, 300}, {0, 300, 1000, 300}},
       0},
      {"two points of overlap along the way do not",
       {{0, 0, 1000, 302}, {5000, 0, 10, 10}, {0, 300, 1000, 300}},
       std::nullopt},
  };
  for (const auto& row : rows)
    EXPECT_EQ(neighbour(2, TileEdge::top, row.frames), row.expected) << row.name;
}

TEST(NeighbourTests, EachDirectionAndItsFailures) {
  // A 2 × 2 grid: 0 1 / 2 3.
  const std::vector<CGRect> grid{
      {0, 0, 500, 300}, {500, 0, 500, 300}, {0, 300, 500, 300}, {500, 300, 500, 300}};
  EXPECT_EQ(neighbour(0, TileEdge::right, grid), 1u);
  EXPECT_EQ(neighbour(1, TileEdge::left, grid), 0u);
  EXPECT_EQ(neighbour(1, TileEdge::bottom, grid), 3u);
  EXPECT_EQ(neighbour(3, TileEdge::top, grid), 1u);
  EXPECT_EQ(neighbour(0, TileEdge::left, grid), std::nullopt);
  EXPECT_EQ(neighbour(4, TileEdge::left, grid), std::nullopt);
  // Touching at a corner only (one point across) is no neighbour.
  const std::vector<CGRect> corner{{0, 0, 100, 100}, {100, 99, 100, 100}};
  EXPECT_EQ(neighbour(0, TileEdge::right, corner), std::nullopt);
}

TEST(FocusMoveTests, SeesEveryVisibleWindowOnEveryDisplay) {
  auto front = windowAt(1, {600, 25, 400, 600});
  auto minimized = windowAt(2, {1000, 0, 300, 600});
  minimized.isMinimized = true;
  auto hidden = windowAt(3, {1000, 0, 400, 600}, 7);
  auto onRight = windowAt(4, {1500, 0, 500, 600});
  auto behind = windowAt(5, {0, 25, 650, 600});  // overlaps the front window by 50 points
  auto world =
      worldOf({front, minimized, hidden, onRight, behind}, {mainDisplay(), rightDisplay()});
  world.apps.push_back({7, "app.7", "Seven", true});

  EXPECT_EQ(FocusMove::target(1, TileEdge::right, world), 4u);  // across the display's edge
  EXPECT_EQ(FocusMove::target(4, TileEdge::right, world), std::nullopt);  // no wrapping
  EXPECT_EQ(FocusMove::target(1, TileEdge::left, world), std::nullopt);
  EXPECT_EQ(FocusMove::target(4, TileEdge::left, world), 1u);
  EXPECT_EQ(FocusMove::target(99, TileEdge::left, world), std::nullopt);
  world.apps.clear();
  EXPECT_EQ(FocusMove::target(1, TileEdge::right, world), 3u);
}

}  // namespace
}  // namespace kestles
