#include "KestlesCore/layout/TileShape.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/core/LayoutTestSupport.hpp"

namespace kestles {
namespace {

using testing::box;
using testing::idOf;
using testing::leaf;

TEST(TileShapeTests, TileIDsOfTreesAndDrawnTiles) {
  auto tree = TileShape::tree(box(0, Split::columns, {leaf(1), leaf(2, 1, 0)}));
  EXPECT_EQ(tree.tileIDs(), (std::vector<UUID>{idOf(2), idOf(1)}));
  EXPECT_EQ(tree.tileCount(), 2u);
  auto drawn = TileShape::drawn({{idOf(5), {0, 0, 0.5, 1}}, {idOf(3), {0.5, 0, 0.5, 1}}});
  EXPECT_EQ(drawn.tileIDs(), (std::vector<UUID>{idOf(5), idOf(3)}));
  EXPECT_EQ(drawn.tileCount(), 2u);
}

TEST(TileShapeTests, FlippingDrawnTilesMapsUnitRectangles) {
  auto shape = TileShape::drawn({{idOf(1), {0.125, 0.125, 0.25, 0.5}}});
  auto columnsFlip = shape.flipped(Split::columns).drawnTiles()->front();
  EXPECT_EQ(columnsFlip, (DrawnTile{idOf(1), {0.625, 0.125, 0.25, 0.5}}));
  auto rowsFlip = shape.flipped(Split::rows).drawnTiles()->front();
  EXPECT_EQ(rowsFlip, (DrawnTile{idOf(1), {0.125, 0.375, 0.25, 0.5}}));

  auto tree = box(0, Split::rows, {leaf(1), leaf(2)});
  EXPECT_EQ(TileShape::tree(tree).flipped(Split::rows),
            TileShape::tree(tree.mirrored(Split::rows)));
}

TEST(TileShapeTests, JSONKindsAndTolerantReading) {
  auto tree = TileShape::tree(box(0, Split::columns, {leaf(1), leaf(2)}));
  nlohmann::json json = tree;
  EXPECT_EQ(json["kind"], "tree");
  EXPECT_EQ(json.get<TileShape>(), tree);

  auto drawn = TileShape::drawn({{idOf(1), {0, 0, 0.5, 1}}});
  nlohmann::json drawnJSON = drawn;
  EXPECT_EQ(drawnJSON, nlohmann::json::parse(R"({"kind":"drawn","tiles":[
      {"id":"00000000-0000-4000-8000-000000000001","unit":[[0.0,0.0],[0.5,1.0]]}]})"));
  EXPECT_EQ(drawnJSON.get<TileShape>(), drawn);

  const char* readAsTree[] = {
      R"({"tree":{"id":"00000000-0000-4000-8000-000000000001"}})",
      R"({"kind":"Drawn","tree":{"id":"00000000-0000-4000-8000-000000000001"},"tiles":[]})",
      R"({"kind":7,"tree":{"id":"00000000-0000-4000-8000-000000000001"}})",
  };
  for (auto text : readAsTree)
    EXPECT_EQ(nlohmann::json::parse(text).get<TileShape>(), TileShape::tree(leaf(1))) << text;

  auto anonymous = nlohmann::json::parse(R"({"kind":"drawn","tiles":[{"unit":[[0,0],[1,1]]}]})")
                       .get<TileShape>();
  EXPECT_EQ(anonymous.drawnTiles()->front().unit, CGRect(0, 0, 1, 1));
  for (auto bad : {R"({"kind":"drawn","tiles":[{"id":"00000000-0000-4000-8000-000000000001"}]})",
                   R"({"kind":"drawn"})", R"({"kind":"tree"})"})
    EXPECT_ANY_THROW(nlohmann::json::parse(bad).get<TileShape>()) << bad;
}

}  // namespace
}  // namespace kestles
