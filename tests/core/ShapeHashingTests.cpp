// Records holding a tile shape serve as keys of hashed containers: equal records must hash
// equally, and each field must take part so that near records spread.
#include <gtest/gtest.h>

#include <unordered_set>

#include "KestlesCore/layout/TileShape.hpp"
#include "KestlesCore/tiling/Tiling.hpp"
#include "tests/core/LayoutTestSupport.hpp"

namespace kestles {
namespace {

using testing::box;
using testing::idOf;
using testing::leaf;

TileShape halves() {
  return TileShape::tree(box(0, Split::columns, {leaf(1), leaf(2)}));
}

Tiling tiling() {
  auto made = Tiling::make("LAPTOP", halves(), LayoutRef::templateLayout("halves"), {11, 22});
  made.zoomed = 22;
  return made;
}

TEST(ShapeHashing, EqualRecordsHashEquallyAndEachFieldCounts) {
  std::hash<Tiling> hash;
  // Built apart, equal: the same hash, and a hashed set keeps one.
  ASSERT_EQ(tiling(), tiling());
  EXPECT_EQ(hash(tiling()), hash(tiling()));
  EXPECT_EQ((std::unordered_set<Tiling>{tiling(), tiling()}.size()), 1u);

  auto changed = [](auto change) {
    auto copy = tiling();
    change(copy);
    return copy;
  };
  const Tiling others[] = {
      changed([](Tiling& t) { t.displayID = "WIDE"; }),
      changed([](Tiling& t) {
        t.shape = TileShape::tree(box(0, Split::rows, {leaf(1), leaf(2)}));
      }),
      changed([](Tiling& t) { t.layout = std::nullopt; }),
      changed([](Tiling& t) {
        t.windows = {22, 11};
      }),
      changed([](Tiling& t) {
        t.windows = {11, std::nullopt};
      }),
      changed([](Tiling& t) { t.zoomed = std::nullopt; }),
  };
  std::unordered_set<Tiling> all{tiling()};
  for (const auto& other : others) {
    ASSERT_NE(other, tiling());
    EXPECT_NE(hash(other), hash(tiling()));
    all.insert(other);
  }
  EXPECT_EQ(all.size(), std::size(others) + 1);
}

TEST(ShapeHashing, ShapesAndDrawnTiles) {
  std::hash<TileShape> hash;
  auto drawn = [](double x) {
    return TileShape::drawn({{idOf(1), {x, 0, 0.5, 1}}, {idOf(2), {0.5, 0, 0.5, 1}}});
  };
  EXPECT_EQ(hash(drawn(0)), hash(drawn(0)));
  // −0 equals 0, so it must hash the same.
  ASSERT_EQ(drawn(-0.0), drawn(0));
  EXPECT_EQ(hash(drawn(-0.0)), hash(drawn(0)));
  EXPECT_NE(hash(drawn(0.25)), hash(drawn(0)));
  auto renamed = TileShape::drawn({{idOf(3), {0, 0, 0.5, 1}}, {idOf(2), {0.5, 0, 0.5, 1}}});
  EXPECT_NE(hash(renamed), hash(drawn(0)));
  // A tree and drawn tiles covering the same halves are different shapes.
  EXPECT_NE(hash(halves()), hash(drawn(0)));
  EXPECT_EQ(std::hash<DrawnTile>{}(DrawnTile{idOf(1), {0, 0, 1, 1}}),
            std::hash<DrawnTile>{}(DrawnTile{idOf(1), {0, 0, 1, 1}}));
  EXPECT_NE(std::hash<DrawnTile>{}(DrawnTile{idOf(1), {0, 0, 1, 1}}),
            std::hash<DrawnTile>{}(DrawnTile{idOf(1), {0, 0, 1, 0.5}}));
}

}  // namespace
}  // namespace kestles
