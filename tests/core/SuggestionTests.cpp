#include "KestlesCore/tiling/Suggestion.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "KestlesCore/layout/LayoutSolver.hpp"
#include "KestlesCore/layout/Template.hpp"
#include "KestlesCore/tiling/StyleShapes.hpp"

namespace kestles {
namespace {

TEST(SuggestionTests, IDs) {
  auto uuid = *UUID::fromString("0A1B2C3D-0000-4000-8000-000000000001");
  EXPECT_EQ(suggestionID(LayoutRef::saved(uuid)), "saved:0A1B2C3D-0000-4000-8000-000000000001");
  EXPECT_EQ(suggestionID(LayoutRef::templateLayout("halves")), "template:halves");
  EXPECT_EQ(kestleSuggestionID(uuid), "kestle:0A1B2C3D-0000-4000-8000-000000000001");
  EXPECT_EQ(appWindowsSuggestionID("com.apple.Safari"), "app:com.apple.Safari");

  EXPECT_EQ(shapeSuggestionID(Template::withID("halves")->shape),
            "shape:0,0,500,1000;500,0,500,1000");
  // Generated shapes get fresh node ids every time; their suggestion id must not change.
  CGSize display{2560, 1415};
  EXPECT_EQ(shapeSuggestionID(shapeForCount(5, display, TilingStyle::spiral)),
            shapeSuggestionID(shapeForCount(5, display, TilingStyle::spiral)));
  EXPECT_NE(shapeSuggestionID(shapeForCount(5, display, TilingStyle::spiral)),
            shapeSuggestionID(shapeForCount(5, display, TilingStyle::columns)));
  // Drawn tiles are their unit rectangles.
  EXPECT_EQ(shapeSuggestionID(TileShape::drawn({{UUID::random(), {0.25, 0, 0.5, 1}}})),
            "shape:250,0,500,1000");
}

// Unit frames are worked out without the solver for speed; they must be the solver's.
TEST(SuggestionTests, UnitFramesAreTheSolversWithoutGaps) {
  std::vector<TileShape> shapes;
  for (const auto& entry : Template::all())
    shapes.push_back(entry.shape);  // spacers and nested containers among them
  shapes.push_back(shapeForCount(7, {2560, 1415}, TilingStyle::spiral));
  shapes.push_back(shapeForCount(8, {1080, 1895}, TilingStyle::mainStack));
  shapes.push_back(TileShape::tree(LayoutNode::rows(
      {LayoutNode::tile(0.0), LayoutNode::tile(2, 1), LayoutNode::tile(1, 0)})));  // ranks
  for (const auto& shape : shapes) {
    auto solved =
        LayoutSolver::solve(*shape.treeNode(), CGRect(0, 0, 1, 1), Gaps{0, 0}, {}, true).tileFrames;
    auto units = unitFrames(shape);
    ASSERT_EQ(units.size(), solved.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
      EXPECT_NEAR(units[i].minX(), solved[i].minX(), 1e-9);
      EXPECT_NEAR(units[i].minY(), solved[i].minY(), 1e-9);
      EXPECT_NEAR(units[i].width(), solved[i].width(), 1e-9);
      EXPECT_NEAR(units[i].height(), solved[i].height(), 1e-9);
    }
  }
}

TEST(SuggestionTests, SameTilesIgnoresTileOrderAndTinyDifferences) {
  const std::vector<CGRect> halves{{0, 0, 0.5, 1}, {0.5, 0, 0.5, 1}};
  EXPECT_TRUE(sameTiles(halves, {{0.5, 0, 0.5, 1}, {0, 0, 0.5, 1}}));
  EXPECT_TRUE(sameTiles(halves, {{0, 0, 0.5015, 1}, {0.5015, 0, 0.4985, 1}}));
  EXPECT_FALSE(sameTiles(halves, {{0, 0, 0.503, 1}, {0.503, 0, 0.497, 1}}));
  EXPECT_FALSE(sameTiles(halves, {{0, 0, 1, 1}}));
}

TEST(SuggestionTests, ArrangementOfEachKind) {
  Suggestion tiles;
  tiles.id = "template:halves";
  tiles.title = "Halves";
  tiles.shape = Template::withID("halves")->shape;
  tiles.kind = {Suggestion::Kind::Tiles{tiles.shape, LayoutRef::templateLayout("halves")}};
  tiles.tiles = {std::nullopt, Suggestion::Occupant{7u, "com.apple.Safari", "Safari", {}}};
  EXPECT_EQ(tiles.arrangement("STUDIO"),
            (Suggestion::Arrangement{"STUDIO",
                                     tiles.shape,
                                     LayoutRef::templateLayout("halves"),
                                     {std::nullopt, 7u},
                                     "Halves",
                                     "template:halves",
                                     false}));

  Suggestion kestle;
  kestle.kind = {Suggestion::Kind::KestleRef{UUID::random()}};
  EXPECT_FALSE(kestle.arrangement("STUDIO"));
  Suggestion app;
  app.kind = {Suggestion::Kind::AppWindows{"com.apple.Safari"}};
  EXPECT_FALSE(app.arrangement("STUDIO"));
}

TEST(SuggestionTests, ArrangementJSON) {
  Suggestion::Arrangement arrangement{"STUDIO",
                                      Template::withID("thirds")->shape,
                                      LayoutRef::templateLayout("thirds"),
                                      {3u, std::nullopt, 5u},
                                      "Thirds",
                                      "template:thirds",
                                      true};
  nlohmann::json json = arrangement;
  EXPECT_EQ(json.at("windows"), nlohmann::json::parse("[3, null, 5]"));
  EXPECT_EQ(json.at("layout"), nlohmann::json::parse(R"({"template": "thirds"})"));
  EXPECT_EQ(json.at("fillsFromScreen"), true);
  EXPECT_EQ(json.get<Suggestion::Arrangement>(), arrangement);

  // Slots follow the tiles: a window seen twice keeps its first slot, extra slots go.
  json["windows"] = nlohmann::json::parse("[3, 3, 5, 8]");
  json.erase("title");
  auto read = json.get<Suggestion::Arrangement>();
  EXPECT_EQ(read.windows, (std::vector<std::optional<std::uint32_t>>{3u, std::nullopt, 5u}));
  EXPECT_EQ(read.title, "");
  EXPECT_ANY_THROW(
      nlohmann::json::parse(R"({"shape": {"kind": "tree"}})").get<Suggestion::Arrangement>());
}

}  // namespace
}  // namespace kestles
