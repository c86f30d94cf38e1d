#include "KestlesCore/tiling/Tiling.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "KestlesCore/layout/Template.hpp"
#include "tests/core/LayoutTestSupport.hpp"

namespace kestles {
namespace {

using testing::box;
using testing::idOf;
using testing::leaf;

constexpr WindowID A = 101, B = 102, C = 103, D = 104, E = 105;
const CGRect kVisible(0, 0, 1000, 600);

/// columns [tile 1, rows [tile 2, tile 3] (node 4)] (node 5): three tiles, a nested container.
TileShape mainAndTwo() {
  return TileShape::tree(
      box(5, Split::columns, {leaf(1, 2), box(4, Split::rows, {leaf(2), leaf(3)})}));
}

/// Four tiles side by side, ids 1 to 4.
TileShape fourColumns() {
  return TileShape::tree(box(9, Split::columns, {leaf(1), leaf(2), leaf(3), leaf(4)}));
}

Tiling tiled(TileShape shape, std::vector<std::optional<WindowID>> slots) {
  Tiling tiling{"display", std::move(shape), LayoutRef::templateLayout("main-stack-2"), {}, {}};
  tiling.windows = std::move(slots);
  return tiling;
}

TEST(TilingTests, DerivedQueries) {
  auto tiling = tiled(mainAndTwo(), {A, std::nullopt, C});
  EXPECT_EQ(tiling.windowIDs(), (std::vector<WindowID>{A, C}));
  EXPECT_EQ(tiling.tileCount(), 3u);
  EXPECT_TRUE(tiling.contains(C));
  EXPECT_FALSE(tiling.contains(B));
  EXPECT_EQ(tiling.tileOf(C), 2);
  EXPECT_EQ(tiling.tileOf(B), std::nullopt);
  EXPECT_EQ(tiling.windowIn(0), A);
  EXPECT_EQ(tiling.windowIn(1), std::nullopt);
  EXPECT_EQ(tiling.windowIn(3), std::nullopt);
  EXPECT_EQ(tiling.tileID(1), idOf(2));
  EXPECT_EQ(tiling.tileID(-1), std::nullopt);
  EXPECT_EQ(tiling.tileIndex(idOf(3)), 2);
  EXPECT_EQ(tiling.tileIndex(idOf(4)), std::nullopt);  // a container is no tile

  auto made = Tiling::make("d", mainAndTwo(), std::nullopt, {A, B, C, D});
  EXPECT_EQ(made.windows, (std::vector<std::optional<WindowID>>{A, B, C}));
  EXPECT_EQ(Tiling::make("d", fourColumns(), std::nullopt, {A}).windows.size(), 4u);
}

TEST(TilingTests, ApplyFillsTilesInOrderAndReturnsTheRest) {
  auto six = TileShape::tree(
      box(9, Split::columns, {leaf(1), leaf(2), leaf(3), leaf(4), leaf(6), leaf(7)}));
  auto tiling = tiled(six, {A, B, std::nullopt, C, D, E});
  tiling.zoomed = A;
  auto halves = Template::withID("thirds")->shape;
  auto untiled = tiling.apply(halves, LayoutRef::templateLayout("thirds"));
  EXPECT_EQ(untiled, (std::vector<WindowID>{D, E}));
  EXPECT_EQ(tiling.windows, (std::vector<std::optional<WindowID>>{A, B, C}));
  EXPECT_EQ(tiling.layout, LayoutRef::templateLayout("thirds"));
  EXPECT_EQ(tiling.zoomed, std::nullopt);  // the shape changed

  tiling.zoomed = B;
  EXPECT_TRUE(tiling.apply(halves, std::nullopt).empty());
  EXPECT_EQ(tiling.zoomed, B);  // same shape, same slot
  EXPECT_EQ(tiling.layout, std::nullopt);

  auto bigger = tiling.apply(fourColumns(), std::nullopt);
  EXPECT_TRUE(bigger.empty());
  EXPECT_EQ(tiling.windows, (std::vector<std::optional<WindowID>>{A, B, C, std::nullopt}));
}

TEST(TilingTests, RotateMovesWindowsAmongOccupiedTilesOnly) {
  auto tiling = tiled(fourColumns(), {A, B, std::nullopt, C});
  ASSERT_TRUE(tiling.rotate(1));
  EXPECT_EQ(tiling.windows, (std::vector<std::optional<WindowID>>{C, A, std::nullopt, B}));
  ASSERT_TRUE(tiling.rotate(-1));
  EXPECT_EQ(tiling.windows, (std::vector<std::optional<WindowID>>{A, B, std::nullopt, C}));
  ASSERT_TRUE(tiling.rotate(-4));  // -4 ≡ 2 among three windows
  EXPECT_EQ(tiling.windows, (std::vector<std::optional<WindowID>>{B, C, std::nullopt, A}));
  EXPECT_FALSE(tiling.rotate(3));                                       // a full turn moves nobody
  EXPECT_EQ(tiling.layout, LayoutRef::templateLayout("main-stack-2"));  // the shape is kept

  tiling.zoomed = B;
  tiling.rotate(1);
  EXPECT_EQ(tiling.zoomed, std::nullopt);

  auto lonely = tiled(fourColumns(), {std::nullopt, A, std::nullopt, std::nullopt});
  EXPECT_FALSE(lonely.rotate(1));
  EXPECT_EQ(lonely.windowIn(1), A);
}

TEST(TilingTests, FlipKeepsWindowsWithTheirTiles) {
  auto tiling = tiled(mainAndTwo(), {A, B, C});
  ASSERT_TRUE(tiling.flip(Retile::Flip::horizontal));
  // The main tile is now on the right; the stack's tiles come first in tile order.
  EXPECT_EQ(tiling.tileID(2), idOf(1));
  EXPECT_EQ(tiling.windows, (std::vector<std::optional<WindowID>>{B, C, A}));
  EXPECT_EQ(tiling.layout, std::nullopt);
  auto frames = tiling.frames(kVisible, Gaps{0, 0});
  EXPECT_EQ(frames[A].minX(), 1000 - frames[A].width());

  ASSERT_TRUE(tiling.flip(Retile::Flip::vertical));
  EXPECT_EQ(tiling.windows, (std::vector<std::optional<WindowID>>{C, B, A}));

  auto flat = tiled(fourColumns(), {A, B, C, D});
  EXPECT_FALSE(flat.flip(Retile::Flip::vertical));  // no rows to mirror
  EXPECT_EQ(flat.layout, LayoutRef::templateLayout("main-stack-2"));
}

TEST(TilingTests, TurnTogglesTheFrontWindowsContainerElseTheRoot) {
  auto tiling = tiled(mainAndTwo(), {A, B, C});
  tiling.zoomed = A;
  ASSERT_TRUE(tiling.turn(C));
  EXPECT_EQ(tiling.shape.treeNode()->node(idOf(4))->split, Split::columns);
  EXPECT_EQ(tiling.shape.treeNode()->split, Split::columns);
  EXPECT_EQ(tiling.windows, (std::vector<std::optional<WindowID>>{A, B, C}));
  EXPECT_EQ(tiling.zoomed, A);
  EXPECT_EQ(tiling.layout, std::nullopt);

  // The main tile's parent is the root; an unknown or absent window turns the root too.
  for (std::optional<WindowID> around :
       {std::optional<WindowID>(A), std::optional<WindowID>(E), std::optional<WindowID>()}) {
    auto other = tiled(mainAndTwo(), {A, B, C});
    ASSERT_TRUE(other.turn(around));
    EXPECT_EQ(other.shape.treeNode()->split, Split::rows);
    EXPECT_EQ(other.shape.treeNode()->node(idOf(4))->split, Split::rows);
  }

  auto single = tiled(TileShape::tree(leaf(1)), {A});
  EXPECT_FALSE(single.turn(A));
  auto drawn = tiled(TileShape::drawn({{idOf(1), {0, 0, 1, 1}}}), {A});
  EXPECT_FALSE(drawn.turn(A));
}

TEST(TilingTests, EvenOutAndRetileDispatch) {
  auto tiling = tiled(mainAndTwo(), {A, B, C});
  ASSERT_TRUE(tiling.retile(Retile::evenOut(), std::nullopt));
  EXPECT_EQ(tiling.shape.treeNode()->children[0].weight, 1.5);
  EXPECT_EQ(tiling.layout, std::nullopt);
  EXPECT_FALSE(tiling.evenOut());  // already even

  ASSERT_TRUE(tiling.retile(Retile::rotate(1), std::nullopt));
  EXPECT_EQ(tiling.windows, (std::vector<std::optional<WindowID>>{C, A, B}));
  ASSERT_TRUE(tiling.retile(Retile::flip(Retile::Flip::horizontal), std::nullopt));
  EXPECT_EQ(tiling.windowIn(2), C);
  ASSERT_TRUE(tiling.retile(Retile::turn(), B));
  EXPECT_EQ(tiling.shape.treeNode()->node(idOf(4))->split, Split::columns);

  auto drawn =
      tiled(TileShape::drawn({{idOf(1), {0, 0, 0.7, 1}}, {idOf(2), {0.7, 0, 0.3, 1}}}), {A, B});
  EXPECT_FALSE(drawn.evenOut());
}

TEST(TilingTests, RemoveRestoreSwapAndZoom) {
  auto tiling = tiled(mainAndTwo(), {A, B, C});
  tiling.zoomed = B;
  EXPECT_EQ(tiling.remove(B), 1);
  EXPECT_EQ(tiling.zoomed, std::nullopt);
  EXPECT_EQ(tiling.remove(B), std::nullopt);
  EXPECT_EQ(tiling.tileCount(), 3u);  // the tile stays, empty

  // A taken slot sends the window to the first empty one; a full tiling takes no one.
  EXPECT_EQ(tiling.restore(D, 0), 1);
  EXPECT_EQ(tiling.restore(E, 1), std::nullopt);
  EXPECT_FALSE(tiling.contains(E));
  // A window already here moves, leaving its slot empty.
  tiling.remove(C);
  EXPECT_EQ(tiling.restore(D, 2), 2);
  EXPECT_EQ(tiling.windows, (std::vector<std::optional<WindowID>>{A, std::nullopt, D}));
  EXPECT_EQ(tiling.restore(A, 7), 0);  // a tiled window asked for an unknown slot stays
  EXPECT_EQ(tiling.restore(E, 7), 1);  // an untiled one takes the first empty slot
  tiling.remove(E);

  EXPECT_TRUE(tiling.zoom(D));
  EXPECT_FALSE(tiling.zoom(D));
  EXPECT_FALSE(tiling.zoom(E));  // not tiled here
  EXPECT_EQ(tiling.zoomed, D);
  EXPECT_FALSE(tiling.swap(0, 0));
  EXPECT_FALSE(tiling.swap(0, 3));
  EXPECT_TRUE(tiling.swap(0, 1));  // the zoomed window keeps its slot
  EXPECT_EQ(tiling.zoomed, D);
  EXPECT_TRUE(tiling.swap(2, 0));
  EXPECT_EQ(tiling.windows, (std::vector<std::optional<WindowID>>{D, A, std::nullopt}));
  EXPECT_EQ(tiling.zoomed, std::nullopt);
  EXPECT_TRUE(tiling.zoom(A));
  EXPECT_TRUE(tiling.zoom(std::nullopt));
  EXPECT_EQ(tiling.zoomed, std::nullopt);
}

TEST(TilingTests, InsertAndCloseKeepWindowsWithTheirTiles) {
  auto tiling = tiled(mainAndTwo(), {A, B, C});
  tiling.zoomed = C;
  auto added = tiling.insert(0, TileEdge::left);
  ASSERT_EQ(added, 0);
  EXPECT_EQ(tiling.windows, (std::vector<std::optional<WindowID>>{std::nullopt, A, B, C}));
  EXPECT_EQ(tiling.zoomed, std::nullopt);  // C changed slot
  EXPECT_EQ(tiling.layout, std::nullopt);
  EXPECT_EQ(tiling.insert(4, TileEdge::left), std::nullopt);

  // Closing B's tile gives its room to C's; the stack container collapses into C's tile.
  EXPECT_EQ(tiling.closeTile(2, true), B);
  EXPECT_EQ(tiling.windows, (std::vector<std::optional<WindowID>>{std::nullopt, A, C}));
  EXPECT_EQ(tiling.tileID(2), idOf(3));
  EXPECT_EQ(tiling.closeTile(0, true), std::nullopt);  // an empty tile closes too
  EXPECT_EQ(tiling.tileCount(), 2u);
  EXPECT_EQ(tiling.closeTile(1, false), C);
  EXPECT_EQ(tiling.windows, (std::vector<std::optional<WindowID>>{A}));
  // The last tile is never closed.
  EXPECT_EQ(tiling.closeTile(0, true), std::nullopt);
  EXPECT_EQ(tiling.windows, (std::vector<std::optional<WindowID>>{A}));
}

TEST(TilingTests, ReshapingMendsSlotsThatDoNotMatchTheTiles) {
  // A tiling put together by hand with fewer slots than tiles used to be read past its slots
  // when a tile beyond them was closed.
  auto tiling = tiled(fourColumns(), {A});
  EXPECT_EQ(tiling.closeTile(3, true), std::nullopt);
  EXPECT_EQ(tiling.windows, (std::vector<std::optional<WindowID>>{A, std::nullopt, std::nullopt}));
}

TEST(TilingTests, DrawnTilesInsertCloseDrawAndSetUnit) {
  auto tiling =
      tiled(TileShape::drawn({{idOf(1), {0, 0, 0.5, 1}}, {idOf(2), {0.5, 0, 0.5, 1}}}), {A, B});
  auto added = tiling.insert(1, TileEdge::bottom);
  ASSERT_EQ(added, 2);
  const auto& tiles = *tiling.shape.drawnTiles();
  EXPECT_EQ(tiles[1].unit, CGRect(0.5, 0, 0.5, 0.5));
  EXPECT_EQ(tiles[2].unit, CGRect(0.5, 0.5, 0.5, 0.5));
  EXPECT_EQ(tiling.windows, (std::vector<std::optional<WindowID>>{A, B, std::nullopt}));
  EXPECT_EQ(tiling.closeTile(0, true), A);
  EXPECT_EQ(tiling.windows, (std::vector<std::optional<WindowID>>{B, std::nullopt}));

  EXPECT_TRUE(tiling.setUnit({0, -1, 0.5, 1.5}, 0));  // clamped to the unit square
  EXPECT_EQ((*tiling.shape.drawnTiles())[0].unit, CGRect(0, 0, 0.5, 0.5));
  EXPECT_EQ(tiling.windowIn(0), B);
  EXPECT_FALSE(tiling.setUnit({0, 0, 0.5, 0.5}, 0));
  EXPECT_FALSE(tiling.setUnit({2, 2, 1, 1}, 0));
  EXPECT_FALSE(tiling.setUnit({0, 0, 1, 1}, 5));
  EXPECT_EQ(tiling.draw({0.2, 0.2, 0, 0.3}), std::nullopt);

  // Drawing on a tree turns it into drawn tiles at its unit frames, keeping ids and windows.
  auto tree = tiled(mainAndTwo(), {A, B, C});
  EXPECT_FALSE(tree.setUnit({0, 0, 1, 1}, 0));
  ASSERT_EQ(tree.draw({0.1, 0.1, 0.3, 0.3}), 3);
  ASSERT_NE(tree.shape.drawnTiles(), nullptr);
  EXPECT_EQ(tree.tileID(1), idOf(2));
  EXPECT_EQ(tree.windows, (std::vector<std::optional<WindowID>>{A, B, C, std::nullopt}));
  auto unit = (*tree.shape.drawnTiles())[1].unit;
  EXPECT_NEAR(unit.minX(), 2.0 / 3, 1e-9);
  EXPECT_NEAR(unit.height(), 0.5, 1e-9);
}

TEST(TilingTests, MoveDividerByItsPositionBetweenStartAndEnd) {
  auto tiling = tiled(mainAndTwo(), {A, B, C});
  auto dividers = tiling.dividers(kVisible, Gaps{0, 0});
  ASSERT_EQ(dividers.size(), 2u);
  const Divider& main = dividers[0];
  EXPECT_EQ(main.splitID, idOf(5));
  ASSERT_TRUE(tiling.move(main, main.start + (main.end - main.start) * 0.25));
  auto frames = tiling.frames(kVisible, Gaps{0, 0});
  EXPECT_EQ(frames[A].width(), 250);
  EXPECT_EQ(frames[B].minX(), 250);
  EXPECT_EQ(tiling.windows, (std::vector<std::optional<WindowID>>{A, B, C}));
  EXPECT_EQ(tiling.layout, std::nullopt);
  EXPECT_FALSE(tiling.move(main, main.start + (main.end - main.start) * 0.25));  // no change
  Divider unknown = main;
  unknown.splitID = idOf(77);
  EXPECT_FALSE(tiling.move(unknown, 500));
  auto drawn = tiled(TileShape::drawn({{idOf(1), {0, 0, 1, 1}}}), {A});
  EXPECT_TRUE(drawn.dividers(kVisible, Gaps{}).empty());
  EXPECT_FALSE(drawn.move(main, 500));
}

TEST(TilingTests, MinimumsFollowTheirWindows) {
  auto tiling = tiled(TileShape::tree(box(9, Split::columns, {leaf(1), leaf(2)})), {A, B});
  std::map<WindowID, MinimumSize> minimums{{B, {700, 0}}};
  EXPECT_EQ(tiling.frames(kVisible, Gaps{0, 0}, minimums)[B].width(), 700);
  tiling.rotate(1);
  auto frames = tiling.frames(kVisible, Gaps{0, 0}, minimums);
  EXPECT_EQ(frames[B], CGRect(0, 0, 700, 600));
  EXPECT_EQ(frames[A], CGRect(700, 0, 300, 600));
  EXPECT_TRUE(tiling.solve(kVisible, Gaps{0, 0}, minimums).fits);
  EXPECT_FALSE(tiling.solve(kVisible, Gaps{0, 0}, {{A, {500, 0}}, {B, {700, 0}}}).fits);
  // Empty tiles have no window, so no frame entry.
  tiling.remove(A);
  EXPECT_EQ(tiling.frames(kVisible, Gaps{}).size(), 1u);
}

TEST(TilingTests, JSONRoundTripAndMending) {
  auto tiling = tiled(mainAndTwo(), {A, std::nullopt, C});
  tiling.zoomed = C;
  nlohmann::json json = tiling;
  EXPECT_EQ(json["windows"], nlohmann::json::parse("[101, null, 103]"));
  EXPECT_EQ(json["layout"], nlohmann::json::parse(R"({"template": "main-stack-2"})"));
  EXPECT_EQ(json["zoomed"], 103);
  EXPECT_EQ(json.get<Tiling>(), tiling);

  tiling.layout.reset();
  tiling.zoomed.reset();
  json = tiling;
  EXPECT_FALSE(json.contains("layout"));
  EXPECT_FALSE(json.contains("zoomed"));
  EXPECT_EQ(json.get<Tiling>(), tiling);

  // Too many slots, a window twice, a damaged slot and a zoomed window without a tile.
  json["windows"] = nlohmann::json::parse(R"([101, 101, "x", 104, 105])");
  json["zoomed"] = 105;
  auto mended = json.get<Tiling>();
  EXPECT_EQ(mended.windows, (std::vector<std::optional<WindowID>>{A, std::nullopt, std::nullopt}));
  EXPECT_EQ(mended.zoomed, std::nullopt);
  json.erase("windows");
  EXPECT_EQ(json.get<Tiling>().windows.size(), 3u);  // padded
  json.erase("displayID");
  EXPECT_ANY_THROW(json.get<Tiling>());
}

}  // namespace
}  // namespace kestles
