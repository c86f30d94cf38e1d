#include "KestlesCore/layout/Template.hpp"

#include <gtest/gtest.h>

#include <unordered_set>

#include "KestlesCore/layout/LayoutSolver.hpp"

namespace kestles {
namespace {

TEST(TemplateTests, CatalogueOrderTileCountsAndDisplayShapes) {
  struct Row {
    const char* id;
    std::size_t tiles;
    std::size_t shapes;
  };
  const Row rows[] = {
      {"halves", 2, 4},           {"halves-stacked", 2, 4},
      {"quarters", 4, 4},         {"thirds", 3, 4},
      {"two-thirds-third", 2, 4}, {"third-two-thirds", 2, 4},
      {"main-stack-2", 3, 4},     {"main-stack-3", 4, 4},
      {"centered", 1, 4},         {"centered-sides", 3, 4},
      {"thirds-stacked", 3, 4},   {"wide-narrow", 2, 2},
      {"narrow-wide", 2, 2},      {"wide-two-narrow", 3, 3},
      {"side-main-stack", 4, 2},  {"centre-stacks", 5, 1},
      {"four-columns", 4, 1},     {"three-by-two", 6, 2},
      {"three-by-three", 9, 2},   {"reading", 1, 4},
      {"main-above-two", 3, 1},   {"two-thirds-above-third", 2, 1},
  };
  const auto& all = Template::all();
  ASSERT_EQ(all.size(), std::size(rows));
  for (std::size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(all[i].id, rows[i].id);
    EXPECT_EQ(all[i].shape.tileCount(), rows[i].tiles) << rows[i].id;
    EXPECT_EQ(all[i].fits.size(), rows[i].shapes) << rows[i].id;
  }
  EXPECT_EQ(Template::withID("wide-two-narrow")->name, "Wide + Two Narrow");
  EXPECT_EQ(Template::withID("wide-two-narrow")->symbol, "rectangle.inset.topleading.filled");
  EXPECT_FALSE(Template::withID("wide-two-narrow")->fits.contains(DisplayShape::portrait));
  EXPECT_TRUE(Template::withID("main-above-two")->fits.contains(DisplayShape::portrait));
  EXPECT_EQ(Template::withID("Halves"), nullptr);
}

TEST(TemplateTests, NodeIDsFollowThePatternInPreOrder) {
  const auto& halves = *Template::withID("halves")->shape.treeNode();
  EXPECT_EQ(halves.id.uuidString(), "7E3D0000-0000-4000-8000-000001000001");
  EXPECT_EQ(halves.children[0].id.uuidString(), "7E3D0000-0000-4000-8000-000001000002");
  EXPECT_EQ(halves.children[1].id.uuidString(), "7E3D0000-0000-4000-8000-000001000003");
  const auto& quarters = *Template::withID("quarters")->shape.treeNode();
  EXPECT_EQ(quarters.children[1].id.uuidString(), "7E3D0000-0000-4000-8000-000003000005");
  EXPECT_EQ(quarters.children[1].children[1].id.uuidString(),
            "7E3D0000-0000-4000-8000-000003000007");
  const auto& last = *Template::all().back().shape.treeNode();
  EXPECT_EQ(last.children[1].id.uuidString(), "7E3D0000-0000-4000-8000-000016000003");
  EXPECT_EQ(&Template::all(), &Template::all());

  std::unordered_set<UUID> seen;
  std::size_t nodes = 0;
  auto count = [&](auto& self, const LayoutNode& node) -> void {
    seen.insert(node.id);
    ++nodes;
    for (const auto& child : node.children)
      self(self, child);
  };
  for (const auto& entry : Template::all())
    count(count, *entry.shape.treeNode());
  EXPECT_EQ(seen.size(), nodes);
}

TEST(TemplateTests, TreesSolveToTheirShapes) {
  const CGRect visible(0, 0, 1000, 1000);
  struct Case {
    const char* id;
    std::vector<CGRect> frames;
  };
  const Case cases[] = {
      {"two-thirds-third", {{0, 0, 667, 1000}, {667, 0, 333, 1000}}},
      {"main-stack-2", {{0, 0, 620, 1000}, {620, 0, 380, 500}, {620, 500, 380, 500}}},
      {"centered", {{200, 0, 600, 1000}}},
      {"reading", {{270, 0, 460, 1000}}},
      {"main-above-two", {{0, 0, 1000, 600}, {0, 600, 500, 400}, {500, 600, 500, 400}}},
      {"side-main-stack",
       {{0, 0, 220, 1000}, {220, 0, 500, 1000}, {720, 0, 280, 500}, {720, 500, 280, 500}}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(LayoutSolver::solve(Template::withID(c.id)->shape, visible, {0, 0}).tileFrames,
              c.frames)
        << c.id;
}

}  // namespace
}  // namespace kestles
