#include "KestlesCore/layout/TileEdge.hpp"

#include <gtest/gtest.h>

namespace kestles {
namespace {

TEST(TileEdgeTests, RawValuesAxesAndDirections) {
  struct Case {
    TileEdge edge;
    const char* raw;
    Split axis;
    bool after;
  };
  const Case cases[] = {
      {TileEdge::left, "left", Split::columns, false},
      {TileEdge::right, "right", Split::columns, true},
      {TileEdge::top, "top", Split::rows, false},
      {TileEdge::bottom, "bottom", Split::rows, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(rawValue(c.edge), c.raw);
    EXPECT_EQ(tileEdgeFromRawValue(c.raw), c.edge);
    EXPECT_EQ(axis(c.edge), c.axis) << c.raw;
    EXPECT_EQ(isAfter(c.edge), c.after) << c.raw;
  }
  EXPECT_FALSE(tileEdgeFromRawValue("up"));
  EXPECT_EQ(splitFromRawValue("rows"), Split::rows);
  EXPECT_FALSE(splitFromRawValue("Rows"));
}

}  // namespace
}  // namespace kestles
