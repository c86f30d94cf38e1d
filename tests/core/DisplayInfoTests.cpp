#include "KestlesCore/display/DisplayInfo.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace kestles {
namespace {

TEST(DisplayInfoTests, ShapeFollowsTheFrame) {
  struct Case {
    double width, height;
    bool builtIn;
    DisplayShape shape;
  };
  const Case cases[] = {
      {3024, 1964, true, DisplayShape::laptop},     {2560, 1440, false, DisplayShape::wide},
      {3440, 1440, false, DisplayShape::ultrawide}, {5120, 2560, false, DisplayShape::ultrawide},
      {5120, 2560, true, DisplayShape::ultrawide},  {1440, 2560, true, DisplayShape::portrait},
      {1000, 1000, false, DisplayShape::wide},      {1000, 0, true, DisplayShape::laptop},
  };
  for (const auto& c : cases) {
    DisplayInfo display{"D", "D", {0, 0, c.width, c.height}, {}, c.builtIn, false};
    EXPECT_EQ(display.shape(), c.shape) << c.width << "x" << c.height;
  }
}

TEST(DisplayInfoTests, ShapeRawValuesAndTitles) {
  EXPECT_EQ(rawValue(DisplayShape::ultrawide), "ultrawide");
  EXPECT_EQ(title(DisplayShape::laptop), "Built-in");
  EXPECT_EQ(title(DisplayShape::portrait), "Portrait");
  for (auto shape : allDisplayShapes())
    EXPECT_EQ(displayShapeFromRawValue(rawValue(shape)), shape);
  EXPECT_FALSE(displayShapeFromRawValue("Wide"));
  EXPECT_EQ(nlohmann::json(DisplayShape::portrait), "portrait");
  EXPECT_EQ(nlohmann::json("ultrawide").get<DisplayShape>(), DisplayShape::ultrawide);
  EXPECT_ANY_THROW(nlohmann::json("square").get<DisplayShape>());
}

TEST(DisplayInfoTests, JSONRoundTripAndDefaults) {
  DisplayInfo display{"37D8832A-2D66-02CA-B9F7-8F30A301B230",
                      "Built-in Retina Display",
                      {0, 0, 1512, 982},
                      {0, 38, 1512, 944},
                      true,
                      true};
  nlohmann::json json = display;
  EXPECT_EQ(json["visibleFrame"], nlohmann::json::parse("[[0,38],[1512,944]]"));
  EXPECT_EQ(json.get<DisplayInfo>(), display);

  auto sparse = nlohmann::json::parse(R"({"id":"A","name":"Side","frame":[[1512,0],[1920,1080]]})")
                    .get<DisplayInfo>();
  EXPECT_EQ(sparse.visibleFrame, sparse.frame);
  EXPECT_FALSE(sparse.isBuiltIn);
  EXPECT_FALSE(sparse.isMain);
  EXPECT_ANY_THROW(nlohmann::json::parse(R"({"id":"A","name":"Side"})").get<DisplayInfo>());
}

}  // namespace
}  // namespace kestles
