#include "KestlesCore/tiling/Suggestion.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

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
