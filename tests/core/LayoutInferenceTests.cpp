#include "KestlesCore/tiling/LayoutInference.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace kestles {
namespace {

const CGRect kArea(0, 0, 1000, 600);

/// The tree written compactly: c[…] columns, r[…] rows, t tile, s spacer, each with its weight.
std::string sketch(const LayoutNode& node) {
  char head[40];
  char kind =
      node.isLeaf() ? (node.isSpacer ? 's' : 't') : (node.split == Split::columns ? 'c' : 'r');
  std::snprintf(head, sizeof head, "%c%g", kind, node.weight);
  std::string text = head;
  if (node.isLeaf()) return text;
  text.push_back('[');
  for (std::size_t i = 0; i < node.children.size(); ++i) {
    if (i > 0) text.push_back(' ');
    text.append(sketch(node.children[i]));
  }
  text.push_back(']');
  return text;
}

TEST(LayoutInferenceTests, TreesReadOffFrames) {
  struct Row {
    const char* name;
    std::vector<CGRect> frames;
    const char* tree;
    std::vector<std::size_t> frameOfTile;
  };
  const Row rows[] = {
      {"one window", {{100, 100, 300, 300}}, "t1", {0}},
      {"halves, listed right to left",
       {{500, 0, 500, 600}, {0, 0, 500, 600}},
       "c1[t500 t500]",
       {1, 0}},
      {"a main and a stack, overlapping by 8",
       {{0, 0, 608, 600}, {600, 0, 400, 300}, {600, 300, 400, 300}},
       "c1[t608 r400[t300 t300]]",
       {0, 1, 2}},
      {"30 points from the left edge: no spacer",
       {{30, 0, 470, 600}, {500, 0, 500, 600}},
       "c1[t470 t500]",
       {0, 1}},
      {"50 points from the left edge, a gap of 100 and 60 to the right",
       {{50, 0, 400, 600}, {550, 0, 390, 600}},
       "c1[s50 t400 s100 t390 s60]",
       {0, 1}},
      {"stacked with room above",
       {{0, 100, 1000, 250}, {0, 350, 1000, 250}},
       "r1[s100 t250 t250]",
       {0, 1}},
  };
  for (const auto& row : rows) {
    auto result = LayoutInference::infer(row.frames, kArea);
    ASSERT_TRUE(result) << row.name;
    EXPECT_EQ(sketch(result->tree), row.tree) << row.name;
    EXPECT_EQ(result->frameOfTile, row.frameOfTile) << row.name;
    EXPECT_EQ(result->tree.tileCount(), row.frames.size()) << row.name;
  }
}

TEST(LayoutInferenceTests, FramesThatCannotBeCut) {
  EXPECT_FALSE(LayoutInference::infer({}, kArea));
  // A pinwheel: every cut along either axis goes through a window.
  const std::vector<CGRect> pinwheel{{0, 0, 600, 200},
                                     {600, 0, 400, 400},
                                     {400, 400, 600, 200},
                                     {0, 200, 400, 400},
                                     {400, 200, 200, 200}};
  EXPECT_FALSE(LayoutInference::infer(pinwheel, kArea));
  // Two windows overlapping by more than 8 points both ways.
  const std::vector<CGRect> overlapping{{0, 0, 600, 400}, {500, 300, 500, 300}};
  EXPECT_FALSE(LayoutInference::infer(overlapping, kArea));
}

}  // namespace
}  // namespace kestles
