#include "KestlesCore/layout/LayoutSolver.hpp"

#include <gtest/gtest.h>

#include "tests/core/LayoutTestSupport.hpp"

namespace kestles {
namespace {

using testing::box;
using testing::idOf;
using testing::leaf;
using testing::spacerLeaf;
constexpr auto C = Split::columns;
constexpr auto R = Split::rows;
const Gaps kNoGaps{0, 0};

TEST(LayoutSolverTests, Distribution) {
  struct Case {
    const char* name;
    double length;
    std::vector<double> weights, minimums, sizes;
  };
  const Case cases[] = {
      {"by weight", 1000, {1, 3}, {}, {250, 750}},
      {"a minimum is fixed first", 1000, {1, 3}, {400, 0}, {400, 600}},
      {"minimums that do not fit share by minimum", 1000, {1, 1}, {600, 600}, {500, 500}},
      {"exactly the minimums", 900, {5, 1}, {600, 300}, {600, 300}},
      {"one pass fixes several", 1000, {1, 1, 1}, {350, 0, 340}, {350, 310, 340}},
      {"a fixed child starves another, fixed next pass",
       1000,
       {1, 1, 1},
       {400, 320, 0},
       {400, 320, 280}},
      {"no minimums and no length", 0, {1, 1}, {0, 0}, {0, 0}},
  };
  for (const auto& c : cases) {
    auto sizes = LayoutSolver::distribute(c.length, c.weights, c.minimums);
    ASSERT_EQ(sizes.size(), c.sizes.size()) << c.name;
    for (std::size_t i = 0; i < sizes.size(); ++i)
      EXPECT_NEAR(sizes[i], c.sizes[i], 1e-9) << c.name;
  }
}

TEST(LayoutSolverTests, SolvesTrees) {
  struct Case {
    const char* name;
    LayoutNode tree;
    CGRect visible;
    Gaps gaps;
    std::vector<MinimumSize> minimums;
    std::vector<CGRect> frames;
    bool fits;
  };
  const Case cases[] = {
      {"halves with gaps",
       box(0, C, {leaf(1), leaf(2)}),
       {0, 0, 1000, 600},
       {8, 8},
       {},
       {{8, 8, 488, 584}, {504, 8, 488, 584}},
       true},
      {"a lone tile", leaf(1), {0, 25, 1440, 875}, {8, 12}, {}, {{12, 37, 1416, 851}}, true},
      {"weights 1 and 3 with a minimum",
       box(0, C, {leaf(1), leaf(2, 3)}),
       {0, 0, 1000, 500},
       kNoGaps,
       {{400, 0}},
       {{0, 0, 400, 500}, {400, 0, 600, 500}},
       true},
      {"minimums that do not fit",
       box(0, C, {leaf(1), leaf(2)}),
       {0, 0, 1000, 500},
       kNoGaps,
       {{600, 0}, {600, 0}},
       {{0, 0, 500, 500}, {500, 0, 500, 500}},
       false},
      {"a height that does not fit",
       box(0, C, {leaf(1), leaf(2)}),
       {0, 0, 1000, 500},
       kNoGaps,
       {{}, {0, 501}},
       {{0, 0, 500, 500}, {500, 0, 500, 500}},
       false},
      {"half a point short still fits",
       box(0, C, {leaf(1), leaf(2)}),
       {0, 0, 1000, 500},
       kNoGaps,
       {{}, {0, 500.5}},
       {{0, 0, 500, 500}, {500, 0, 500, 500}},
       true},
      {"spacers take room but no frame",
       box(0, C, {spacerLeaf(1, 0.2), leaf(2, 0.6), spacerLeaf(3, 0.2)}),
       {0, 0, 1000, 500},
       kNoGaps,
       {},
       {{200, 0, 600, 500}},
       true},
      {"ranks order frames and minimums",
       box(0, C, {leaf(1), leaf(2, 1, 0)}),
       {0, 0, 1000, 500},
       kNoGaps,
       {{600, 0}},
       {{400, 0, 600, 500}, {0, 0, 400, 500}},
       true},
      {"nested minimums with gaps",
       box(0, C, {leaf(1), box(2, R, {leaf(3), leaf(4)})}),
       {0, 0, 1016, 616},
       {8, 0},
       {{}, {}, {700, 0}},
       {{0, 0, 308, 616}, {316, 0, 700, 304}, {316, 312, 700, 304}},
       true},
      {"thirds round at their edges",
       box(0, C, {leaf(1), leaf(2), leaf(3)}),
       {0, 0, 1000, 10},
       kNoGaps,
       {},
       {{0, 0, 333, 10}, {333, 0, 334, 10}, {667, 0, 333, 10}},
       true},
      {"halves away from zero",
       leaf(1),
       {100.5, -0.5, 200, 100},
       kNoGaps,
       {},
       {{101, -1, 200, 101}},
       true},
      // Regression: with no minimums at all, the nested container's gaps (2 × 24) were
      // left out of its minimum and its tiles got 3 points each.
      {"a nested container needs its gaps even without minimums",
       box(0, R, {leaf(1, 0.95), box(2, R, {leaf(3), leaf(4), leaf(5)}, 0.05)}),
       {0, 0, 1000, 400},
       {24, 0},
       {},
       {{0, 0, 1000, 328}, {0, 352, 1000, 8}, {0, 372, 1000, 8}, {0, 392, 1000, 8}},
       true},
      {"the same with an empty minimum",
       box(0, R, {leaf(1, 0.95), box(2, R, {leaf(3), leaf(4), leaf(5)}, 0.05)}),
       {0, 0, 1000, 400},
       {24, 0},
       {{0, 0}},
       {{0, 0, 1000, 328}, {0, 352, 1000, 8}, {0, 372, 1000, 8}, {0, 392, 1000, 8}},
       true},
      {"gaps shrink to half the length",
       box(0, C, {leaf(1), leaf(2), leaf(3), leaf(4), leaf(5)}),
       {0, 0, 10, 10},
       {8, 0},
       {},
       {{0, 0, 1, 10}, {2, 0, 1, 10}, {5, 0, 1, 10}, {7, 0, 1, 10}, {9, 0, 1, 10}},
       true},
  };
  for (const auto& c : cases) {
    auto solution = LayoutSolver::solve(c.tree, c.visible, c.gaps, c.minimums);
    EXPECT_EQ(solution.tileFrames, c.frames) << c.name;
    EXPECT_EQ(solution.tileIDs, c.tree.tileOrder()) << c.name;
    EXPECT_EQ(solution.fits, c.fits) << c.name;
  }
}

TEST(LayoutSolverTests, UnroundedFramesShowTheShrunkenGap) {
  auto tree = box(0, C, {leaf(1), leaf(2), leaf(3), leaf(4), leaf(5)});
  auto solution = LayoutSolver::solve(tree, {0, 0, 10, 10}, {8, 0}, {}, true);
  const double starts[] = {0, 2.25, 4.5, 6.75, 9};
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_DOUBLE_EQ(solution.tileFrames[i].minX(), starts[i]);
    EXPECT_DOUBLE_EQ(solution.tileFrames[i].width(), 1);
  }
}

TEST(LayoutSolverTests, TheLastChildReachesTheFarEdge) {
  // Awkward sizes: whatever the rounding, tiles plus gaps fill the inset frame exactly.
  auto tree =
      box(0, C, {leaf(1, 0.37), box(2, R, {leaf(3), leaf(4, 2), leaf(5)}, 0.41), leaf(6, 0.22)});
  CGRect visible(13.3, 27.7, 1917.9, 1047.3);
  Gaps gaps{7, 11};
  auto frames = LayoutSolver::solve(tree, visible, gaps).tileFrames;
  double right = std::round(visible.maxX() - gaps.outer);
  double bottom = std::round(visible.maxY() - gaps.outer);
  EXPECT_EQ(frames[0].minX(), std::round(visible.minX() + gaps.outer));
  EXPECT_EQ(frames[0].width() + frames[1].width() + frames[4].width() + 2 * gaps.inner,
            right - frames[0].minX());
  EXPECT_EQ(frames[4].maxX(), right);
  EXPECT_EQ(frames[1].height() + frames[2].height() + frames[3].height() + 2 * gaps.inner,
            bottom - frames[1].minY());
  EXPECT_EQ(frames[3].maxY(), bottom);
}

TEST(LayoutSolverTests, Dividers) {
  auto tree = box(0, C, {leaf(1), box(2, R, {leaf(3), leaf(4)})});
  auto dividers = LayoutSolver::dividers(tree, {0, 0, 1000, 600}, {8, 8});
  ASSERT_EQ(dividers.size(), 2u);
  EXPECT_EQ(dividers[0], (Divider{idOf(0), 0, C, {496, 8, 8, 584}, 8, 992, 8}));
  EXPECT_EQ(dividers[1], (Divider{idOf(2), 0, R, {504, 296, 488, 8}, 8, 592, 8}));
  auto crowded =
      LayoutSolver::dividers(box(0, R, {leaf(1), leaf(2), leaf(3)}), {0, 0, 100, 6}, {8, 0});
  ASSERT_EQ(crowded.size(), 2u);
  EXPECT_EQ(crowded[1].gap, 1.5);
  EXPECT_EQ(crowded[1].index, 1);
  EXPECT_DOUBLE_EQ(crowded[1].frame.minY(), 3.5);
  EXPECT_TRUE(LayoutSolver::dividers(leaf(1), {0, 0, 100, 100}, {8, 8}).empty());
}

TEST(LayoutSolverTests, TileShapesAndDividersCountNestedGapsWithoutMinimums) {
  auto tree = box(0, R, {leaf(1, 0.95), box(2, R, {leaf(3), leaf(4), leaf(5)}, 0.05)});
  CGRect visible{0, 0, 1000, 400};
  Gaps gaps{24, 0};
  auto frames = LayoutSolver::solve(TileShape::tree(tree), visible, gaps).tileFrames;
  ASSERT_EQ(frames.size(), 4u);
  EXPECT_EQ(frames[0], (CGRect{0, 0, 1000, 328}));
  auto dividers = LayoutSolver::dividers(tree, visible, gaps);
  ASSERT_EQ(dividers.size(), 3u);
  EXPECT_EQ(dividers[0].frame, (CGRect{0, 328, 1000, 24}));
  EXPECT_EQ(dividers[1].gap, 12);
}

TEST(LayoutSolverTests, SolvesDrawnTiles) {
  std::vector<DrawnTile> tiles{
      {idOf(1), {0, 0, 0.5, 1}}, {idOf(2), {0.5, 0, 0.5, 0.5}}, {idOf(3), {0.5, 0.5, 0.5, 0.5}}};
  auto solution = LayoutSolver::solve(tiles, {0, 0, 1000, 601}, {8, 8},
                                      std::vector<MinimumSize>{{}, {}, {0, 300}});
  EXPECT_EQ(solution.tileFrames,
            (std::vector<CGRect>{{8, 8, 488, 585}, {504, 8, 488, 289}, {504, 305, 488, 288}}));
  EXPECT_EQ(solution.tileIDs, (std::vector<UUID>{idOf(1), idOf(2), idOf(3)}));
  EXPECT_FALSE(solution.fits);
  auto shape = TileShape::drawn(tiles);
  EXPECT_EQ(LayoutSolver::solve(shape, {0, 0, 1000, 601}, {8, 8}).tileFrames, solution.tileFrames);
  auto collapsed = LayoutSolver::solve(std::vector<DrawnTile>{{idOf(1), {0.5, 0.5, 0, 0}}},
                                       {0, 0, 100, 100}, {8, 8});
  EXPECT_EQ(collapsed.tileFrames[0].size, (CGSize{0, 0}));
}

}  // namespace
}  // namespace kestles
