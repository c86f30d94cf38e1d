#include "KestlesCore/tiling/StyleShapes.hpp"

#include <gtest/gtest.h>

#include "KestlesCore/layout/LayoutSolver.hpp"
#include "KestlesCore/layout/Template.hpp"

namespace kestles {
namespace {

const CGSize kLaptop{1440, 900};
const CGSize kMacBook{1512, 982};
const CGSize kWide{2560, 1440};
const CGSize kPortrait{1080, 1920};

std::vector<CGRect> unitFrames(const TileShape& shape) {
  return LayoutSolver::solve(shape, CGRect(0, 0, 1, 1), Gaps{0, 0}, {}, true).tileFrames;
}

void expectFrames(const TileShape& shape, const std::vector<CGRect>& expected) {
  auto frames = unitFrames(shape);
  ASSERT_EQ(frames.size(), expected.size());
  for (std::size_t i = 0; i < frames.size(); ++i) {
    EXPECT_NEAR(frames[i].minX(), expected[i].minX(), 1e-9) << "tile " << i;
    EXPECT_NEAR(frames[i].minY(), expected[i].minY(), 1e-9) << "tile " << i;
    EXPECT_NEAR(frames[i].width(), expected[i].width(), 1e-9) << "tile " << i;
    EXPECT_NEAR(frames[i].height(), expected[i].height(), 1e-9) << "tile " << i;
  }
}

TEST(StyleShapesTests, LargestTileCountPerStyle) {
  struct Row {
    TilingStyle style;
    CGSize display;
    int largest;
  };
  const Row rows[] = {
      {TilingStyle::grid, kLaptop, 4},          // 2 × 2
      {TilingStyle::grid, kWide, 9},            // 4 × 3 = 12, capped
      {TilingStyle::grid, {1919.9, 1080}, 4},   // 1919.9 / 640 truncates to 2
      {TilingStyle::spiral, kLaptop, 4},        // 720, 450, 360 halve; 225 does not
      {TilingStyle::spiral, {500, 300}, 2},     // no halving still gives two
      {TilingStyle::mainStack, kMacBook, 5},    // 1 + ⌊982 / 240⌋
      {TilingStyle::mainStack, kPortrait, 4},   // 1 + ⌊1080 / 360⌋
      {TilingStyle::mainStack, {600, 400}, 3},  // 1 + max(2, 1)
      {TilingStyle::columns, kLaptop, 4},       // ⌊1440 / 360⌋
      {TilingStyle::columns, kPortrait, 8},     // ⌊1920 / 240⌋
      {TilingStyle::columns, {5120, 1440}, 9},  // 14, capped
  };
  for (const auto& row : rows)
    EXPECT_EQ(largestTileCount(row.style, row.display), row.largest)
        << rawValue(row.style) << " " << row.display.width << "×" << row.display.height;
}

TEST(StyleShapesTests, CountIsClampedUnlessKeepingAll) {
  EXPECT_EQ(shapeForCount(6, kMacBook, TilingStyle::mainStack).tileCount(), 5u);
  EXPECT_EQ(shapeForCount(6, kMacBook, TilingStyle::mainStack, true).tileCount(), 6u);
  EXPECT_EQ(shapeForCount(0, kMacBook, TilingStyle::grid).tileCount(), 1u);
  EXPECT_EQ(shapeForCount(-3, kMacBook, TilingStyle::spiral, true).tileCount(), 1u);
  EXPECT_EQ(shapeForCount(12, kWide, TilingStyle::grid, true).tileCount(), 12u);
}

TEST(StyleShapesTests, SmallCountsUseTemplatesWithTheirFixedIDs) {
  struct Row {
    TilingStyle style;
    CGSize display;
    int count;
    const char* templateID;
  };
  const Row rows[] = {
      {TilingStyle::columns, kLaptop, 2, "halves"},
      {TilingStyle::columns, kPortrait, 2, "halves-stacked"},
      {TilingStyle::columns, kLaptop, 3, "thirds"},
      {TilingStyle::columns, kPortrait, 3, "thirds-stacked"},
      {TilingStyle::columns, kLaptop, 4, "four-columns"},
      {TilingStyle::mainStack, kLaptop, 2, "two-thirds-third"},
      {TilingStyle::mainStack, kLaptop, 3, "main-stack-2"},
      {TilingStyle::mainStack, kMacBook, 4, "main-stack-3"},
      {TilingStyle::spiral, kLaptop, 2, "halves"},
      {TilingStyle::spiral, kPortrait, 2, "halves-stacked"},
      {TilingStyle::grid, kLaptop, 2, "halves"},
      {TilingStyle::grid, kPortrait, 2, "halves-stacked"},
      {TilingStyle::grid, kLaptop, 3, "main-stack-2"},
      {TilingStyle::grid, kPortrait, 3, "thirds-stacked"},
      {TilingStyle::grid, kPortrait, 4, "quarters"},
      {TilingStyle::grid, kWide, 6, "three-by-two"},
      {TilingStyle::grid, kLaptop, 6, "three-by-two"},
      {TilingStyle::grid, kWide, 9, "three-by-three"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(shapeForCount(row.count, row.display, row.style, true),
              Template::withID(row.templateID)->shape)
        << rawValue(row.style) << " " << row.count << " → " << row.templateID;
}

TEST(StyleShapesTests, GeneratedShapes) {
  const double third = 1.0 / 3;
  // Grid of 5 on a wide display: rowsMax 3, columns 4 lowered to ⌈√5⌉ = 3, two rows.
  expectFrames(shapeForCount(5, kWide, TilingStyle::grid), {{0, 0, third, 0.5},
                                                            {third, 0, third, 0.5},
                                                            {2 * third, 0, third, 0.5},
                                                            {0, 0.5, 0.5, 0.5},
                                                            {0.5, 0.5, 0.5, 0.5}});
  // Grid of 7: three rows, the first takes the extra tile.
  auto seven = unitFrames(shapeForCount(7, kWide, TilingStyle::grid, true));
  ASSERT_EQ(seven.size(), 7u);
  EXPECT_NEAR(seven[2].width(), third, 1e-9);
  EXPECT_NEAR(seven[3].width(), 0.5, 1e-9);
  EXPECT_NEAR(seven[6].minY(), 2 * third, 1e-9);
  // Spiral of 4 on 1440 × 900: halves of what is left, first left or top.
  expectFrames(shapeForCount(4, kLaptop, TilingStyle::spiral),
               {{0, 0, 0.5, 1}, {0.5, 0, 0.5, 0.5}, {0.5, 0.5, 0.25, 0.5}, {0.75, 0.5, 0.25, 0.5}});
  // Main + stack on a portrait display: main on top with 0.62, the stack side by side.
  expectFrames(shapeForCount(3, kPortrait, TilingStyle::mainStack),
               {{0, 0, 1, 0.62}, {0, 0.62, 0.5, 0.38}, {0.5, 0.62, 0.5, 0.38}});
  // Main + stack of 5 on a landscape display: the stack is stacked.
  expectFrames(shapeForCount(5, kMacBook, TilingStyle::mainStack), {{0, 0, 0.62, 1},
                                                                    {0.62, 0, 0.38, 0.25},
                                                                    {0.62, 0.25, 0.38, 0.25},
                                                                    {0.62, 0.5, 0.38, 0.25},
                                                                    {0.62, 0.75, 0.38, 0.25}});
  // Columns of 4 on a portrait display and of 5 on a landscape one: equal tiles.
  expectFrames(shapeForCount(4, kPortrait, TilingStyle::columns),
               {{0, 0, 1, 0.25}, {0, 0.25, 1, 0.25}, {0, 0.5, 1, 0.25}, {0, 0.75, 1, 0.25}});
  expectFrames(
      shapeForCount(5, kWide, TilingStyle::columns),
      {{0, 0, 0.2, 1}, {0.2, 0, 0.2, 1}, {0.4, 0, 0.2, 1}, {0.6, 0, 0.2, 1}, {0.8, 0, 0.2, 1}});
  EXPECT_EQ(shapeForCount(1, kWide, TilingStyle::columns).tileCount(), 1u);
}

}  // namespace
}  // namespace kestles
