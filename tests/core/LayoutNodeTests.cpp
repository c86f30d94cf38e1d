#include "KestlesCore/layout/LayoutNode.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/core/LayoutTestSupport.hpp"

namespace kestles {
namespace {

using testing::box;
using testing::idOf;
using testing::leaf;
using testing::spacerLeaf;
constexpr auto C = Split::columns;
constexpr auto R = Split::rows;

std::vector<UUID> ids(std::initializer_list<int> numbers) {
  std::vector<UUID> result;
  for (int n : numbers)
    result.push_back(idOf(n));
  return result;
}

/// Gives a node created by an operation the fixed id 99 (and a created container 98), so
/// whole trees can be compared.
void nameNewNodes(LayoutNode& tree, const LayoutNode& before, const UUID& newTile) {
  auto parent = tree.parentID(newTile);
  tree.node(newTile)->id = idOf(99);
  if (parent && !before.node(*parent)) tree.node(*parent)->id = idOf(98);
}

LayoutNode threeColumns() {
  return box(0, C, {leaf(1), leaf(2), leaf(3)});
}

TEST(LayoutNodeTests, TileOrderAndCount) {
  struct Case {
    const char* name;
    LayoutNode tree;
    std::vector<UUID> order;
  };
  const Case cases[] = {
      {"one leaf", leaf(1), ids({1})},
      {"spacer alone", spacerLeaf(1), {}},
      {"split without children is a tile", box(1, R, {}), ids({1})},
      {"ranks first, then position",
       box(0, C, {leaf(1), leaf(2, 1, 2), box(3, R, {leaf(4), leaf(5, 1, 0)})}), ids({5, 2, 1, 4})},
      {"equal ranks keep position", box(0, C, {leaf(1, 1, 3), spacerLeaf(2), leaf(3, 1, 3)}),
       ids({1, 3})},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.tree.tileOrder(), c.order) << c.name;
    EXPECT_EQ(c.tree.tileCount(), c.order.size()) << c.name;
  }
  auto withSpacer = box(0, C, {spacerLeaf(1), box(2, R, {leaf(3), spacerLeaf(4)})});
  std::vector<UUID> leafIDs;
  for (const auto& l : withSpacer.leaves())
    leafIDs.push_back(l.id);
  EXPECT_EQ(leafIDs, ids({1, 3, 4}));
}

TEST(LayoutNodeTests, FindingNodesAndParents) {
  auto tree = box(0, C, {leaf(1), box(2, R, {leaf(3), leaf(4)})});
  EXPECT_EQ(tree.node(idOf(0)), &tree);
  EXPECT_EQ(tree.node(idOf(4)), &tree.children[1].children[1]);
  EXPECT_EQ(tree.node(idOf(7)), nullptr);
  EXPECT_EQ(tree.parentID(idOf(4)), idOf(2));
  EXPECT_EQ(tree.parentID(idOf(1)), idOf(0));
  EXPECT_EQ(tree.parentID(idOf(0)), std::nullopt);
  EXPECT_EQ(tree.parentID(idOf(7)), std::nullopt);
}

TEST(LayoutNodeTests, InsertTileBeside) {
  struct Case {
    const char* name;
    LayoutNode tree;
    int beside;
    TileEdge toward;
    std::optional<LayoutNode> expected;  // nothing: refused, tree unchanged
  };
  const Case cases[] = {
      {"right of the middle column", threeColumns(), 2, TileEdge::right,
       box(0, C, {leaf(1), leaf(2, 0.5), leaf(99, 0.5), leaf(3)})},
      {"left of the middle column", threeColumns(), 2, TileEdge::left,
       box(0, C, {leaf(1), leaf(99, 0.5), leaf(2, 0.5), leaf(3)})},
      {"top of a column wraps it in rows", box(0, C, {leaf(1, 2, 1), leaf(2)}), 1, TileEdge::top,
       box(0, C, {box(98, R, {leaf(99), leaf(1, 1, 1)}, 2), leaf(2)})},
      {"below a lone root", leaf(1, 3), 1, TileEdge::bottom, box(98, R, {leaf(1), leaf(99)}, 3)},
      {"deep, across the axis", box(0, C, {leaf(1), box(2, R, {leaf(3), leaf(4)})}), 4,
       TileEdge::left, box(0, C, {leaf(1), box(2, R, {leaf(3), box(98, C, {leaf(99), leaf(4)})})})},
      {"a spacer is refused", box(0, C, {spacerLeaf(1), leaf(2)}), 1, TileEdge::right, {}},
      {"a container is refused",
       box(0, C, {leaf(1), box(2, R, {leaf(3), leaf(4)})}),
       2,
       TileEdge::bottom,
       {}},
      {"an unknown id is refused", threeColumns(), 9, TileEdge::right, {}},
  };
  for (const auto& c : cases) {
    auto tree = c.tree;
    auto newID = tree.insertTile(idOf(c.beside), c.toward);
    ASSERT_EQ(newID.has_value(), c.expected.has_value()) << c.name;
    if (newID) nameNewNodes(tree, c.tree, *newID);
    EXPECT_EQ(tree, c.expected.value_or(c.tree)) << c.name;
  }
}

TEST(LayoutNodeTests, SplitLeaf) {
  auto tree = box(0, C, {leaf(1), leaf(2, 3, 1)});
  auto newID = tree.splitLeaf(idOf(2), R);
  ASSERT_TRUE(newID);
  auto before = box(0, C, {leaf(1), leaf(2, 3, 1)});
  nameNewNodes(tree, before, *newID);
  EXPECT_EQ(tree, box(0, C, {leaf(1), box(98, R, {leaf(2), leaf(99)}, 3)}));

  for (int target : {0, 9}) {
    auto unchanged = before;
    EXPECT_FALSE(unchanged.splitLeaf(idOf(target), C)) << target;
    EXPECT_EQ(unchanged, before) << target;
  }
}

TEST(LayoutNodeTests, RemoveTile) {
  struct Case {
    const char* name;
    LayoutNode tree;
    int target;
    bool givingRoom;
    std::optional<LayoutNode> expected;  // nothing: not found, tree unchanged
  };
  const Case cases[] = {
      {"first gives to the next", threeColumns(), 1, true, box(0, C, {leaf(2, 2), leaf(3)})},
      {"last gives to the one before", threeColumns(), 3, true, box(0, C, {leaf(1), leaf(2, 2)})},
      {"middle gives to the one before", threeColumns(), 2, true, box(0, C, {leaf(1, 2), leaf(3)})},
      {"without giving room", threeColumns(), 2, false, box(0, C, {leaf(1), leaf(3)})},
      {"a spacer before is skipped", box(0, C, {spacerLeaf(1), leaf(2, 2), leaf(3)}), 2, true,
       box(0, C, {spacerLeaf(1), leaf(3, 3)})},
      {"spacers on both sides take nothing", box(0, C, {spacerLeaf(1), leaf(2, 2), spacerLeaf(3)}),
       2, true, box(0, C, {spacerLeaf(1), spacerLeaf(3)})},
      {"a pair collapses into the survivor",
       box(0, C, {leaf(1), box(2, R, {leaf(3, 2), leaf(4)}, 3)}), 3, true,
       box(0, C, {leaf(1), leaf(4, 3)})},
      {"the root collapses too", box(0, R, {leaf(1), leaf(2)}, 5), 1, false, leaf(2, 5)},
      {"the last child leaves an empty container", box(0, C, {leaf(1)}), 1, true, box(0, C, {})},
      {"the root is never removed", threeColumns(), 0, true, {}},
      {"an unknown id", threeColumns(), 9, true, {}},
  };
  for (const auto& c : cases) {
    auto tree = c.tree;
    EXPECT_EQ(tree.remove(idOf(c.target), c.givingRoom), c.expected.has_value()) << c.name;
    EXPECT_EQ(tree, c.expected.value_or(c.tree)) << c.name;
  }
}

TEST(LayoutNodeTests, SetDivider) {
  struct Case {
    int container, after;
    double fraction;
    bool found;
    std::vector<double> weights;
  };
  const Case cases[] = {
      {0, 0, 0.99, true, {1.9, 0.1, 2}}, {0, 0, -1, true, {0.1, 1.9, 2}},
      {0, 0, 0.05, true, {0.1, 1.9, 2}}, {0, 1, 0.25, true, {1, 0.75, 2.25}},
      {0, 2, 0.5, true, {1, 1, 2}},      {0, -1, 0.5, true, {1, 1, 2}},
      {7, 0, 0.5, false, {1, 1, 2}},     {1, 0, 0.5, true, {1, 1, 2}},
  };
  for (const auto& c : cases) {
    auto tree = box(0, C, {leaf(1), leaf(2), leaf(3, 2)});
    EXPECT_EQ(tree.setDivider(idOf(c.container), c.after, c.fraction), c.found);
    for (std::size_t i = 0; i < 3; ++i)
      EXPECT_NEAR(tree.children[i].weight, c.weights[i], 1e-12) << c.fraction << " " << i;
  }
}

TEST(LayoutNodeTests, ToggleAndUpdate) {
  auto tree = box(0, C, {leaf(1), box(2, R, {leaf(3), leaf(4)})});
  EXPECT_TRUE(tree.toggleSplit(idOf(2)));
  EXPECT_EQ(tree.children[1].split, C);
  EXPECT_TRUE(tree.toggleSplit(idOf(1)));
  EXPECT_EQ(tree.children[0].split, std::nullopt);
  EXPECT_FALSE(tree.toggleSplit(idOf(9)));
  EXPECT_TRUE(tree.update(idOf(4), [](LayoutNode& n) { n.rank = 7; }));
  EXPECT_EQ(tree.tileOrder(), ids({4, 1, 3}));
  EXPECT_FALSE(tree.update(idOf(9), [](LayoutNode& n) { n.rank = 1; }));
}

TEST(LayoutNodeTests, Transforms) {
  auto tree = box(0, C,
                  {spacerLeaf(1, 0.2), leaf(2, 0.5, 1), box(3, R, {leaf(4, 3), leaf(5)}, 0.3),
                   spacerLeaf(6, 0.2)});
  EXPECT_EQ(tree.evened(), box(0, C,
                               {spacerLeaf(1, 0.2), leaf(2, 0.4, 1),
                                box(3, R, {leaf(4, 2), leaf(5, 2)}, 0.4), spacerLeaf(6, 0.2)}));
  EXPECT_EQ(tree.mirrored(C), box(0, C,
                                  {spacerLeaf(6, 0.2), box(3, R, {leaf(4, 3), leaf(5)}, 0.3),
                                   leaf(2, 0.5, 1), spacerLeaf(1, 0.2)}));
  EXPECT_EQ(tree.mirrored(R), box(0, C,
                                  {spacerLeaf(1, 0.2), leaf(2, 0.5, 1),
                                   box(3, R, {leaf(5), leaf(4, 3)}, 0.3), spacerLeaf(6, 0.2)}));
  EXPECT_EQ(tree.transposed(), box(0, R,
                                   {spacerLeaf(1, 0.2), leaf(2, 0.5, 1),
                                    box(3, C, {leaf(4, 3), leaf(5)}, 0.3), spacerLeaf(6, 0.2)}));
  EXPECT_EQ(tree.unranked().children[1], leaf(2, 0.5));
  EXPECT_EQ(box(0, C, {leaf(1, 3), spacerLeaf(2, 5)}).evened(),
            box(0, C, {leaf(1, 3), spacerLeaf(2, 5)}));
}

TEST(LayoutNodeTests, ConstructorsGiveFreshIds) {
  auto tree = LayoutNode::columns(
      {LayoutNode::tile(2, 1), LayoutNode::spacer(0.5), LayoutNode::rows({LayoutNode::tile()}, 3)});
  EXPECT_EQ(tree.split, C);
  EXPECT_EQ(tree.children[0].rank, 1);
  EXPECT_EQ(tree.children[0].weight, 2);
  EXPECT_TRUE(tree.children[1].isSpacer);
  EXPECT_EQ(tree.children[2].split, R);
  EXPECT_EQ(tree.children[2].weight, 3);
  EXPECT_NE(tree.id, tree.children[0].id);
  EXPECT_NE(tree.children[0].id, tree.children[1].id);
  EXPECT_NE(LayoutNode::tile().id, LayoutNode::tile().id);
}

TEST(LayoutNodeTests, JSONWritesOnlyWhatDiffersFromDefaults) {
  auto plain = nlohmann::json::parse(R"({"id":"00000000-0000-4000-8000-000000000001"})");
  auto node = plain.get<LayoutNode>();
  EXPECT_EQ(node, leaf(1));
  EXPECT_EQ(nlohmann::json(node), plain);

  auto tree = box(0, C, {leaf(1, 0.62, 2), spacerLeaf(2), box(3, R, {leaf(4), leaf(5)}, 0.38)});
  nlohmann::json json = tree;
  EXPECT_EQ(json["children"][0], nlohmann::json::parse(
                                     R"({"id":"00000000-0000-4000-8000-000000000001",
                                         "weight":0.62,"rank":2})"));
  EXPECT_EQ(json["children"][1]["isSpacer"], true);
  EXPECT_EQ(json["split"], "columns");
  EXPECT_FALSE(json.contains("weight"));
  EXPECT_EQ(json.get<LayoutNode>(), tree);
}

TEST(LayoutNodeTests, JSONReadsToleratingMissingKeys) {
  auto anonymous = nlohmann::json::parse(R"({"split":"rows","children":[{},{"weight":null}]})")
                       .get<LayoutNode>();
  EXPECT_EQ(anonymous.split, R);
  ASSERT_EQ(anonymous.children.size(), 2u);
  EXPECT_EQ(anonymous.children[1].weight, 1.0);
  EXPECT_NE(anonymous.children[0].id, anonymous.children[1].id);
  EXPECT_EQ(nlohmann::json::parse(R"({"id":"00000000-0000-4000-8000-00000000000a"})")
                .get<LayoutNode>()
                .id.uuidString(),
            "00000000-0000-4000-8000-00000000000A");
  for (auto bad : {R"({"split":"diagonal"})", R"({"rank":1.5})", R"({"id":"x"})", R"([1])",
                   R"({"children":[{"weight":"big"}]})"})
    EXPECT_ANY_THROW(nlohmann::json::parse(bad).get<LayoutNode>()) << bad;
}

TEST(LayoutNodeTests, HashCoversEveryField) {
  std::hash<LayoutNode> hash;
  auto tree = box(0, C, {leaf(1), leaf(2)});
  EXPECT_EQ(hash(tree), hash(box(0, C, {leaf(1), leaf(2)})));
  auto changes = std::vector<LayoutNode>{
      box(0, R, {leaf(1), leaf(2)}),       box(0, C, {leaf(1, 2), leaf(2)}),
      box(0, C, {leaf(1, 1, 0), leaf(2)}), box(0, C, {spacerLeaf(1), leaf(2)}),
      box(0, C, {leaf(2), leaf(1)}),       box(0, C, {leaf(1)})};
  for (const auto& changed : changes)
    EXPECT_NE(hash(tree), hash(changed));
}

}  // namespace
}  // namespace kestles
