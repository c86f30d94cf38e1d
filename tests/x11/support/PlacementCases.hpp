#pragma once

#include <string>
#include <vector>

#include "tests/x11/support/XSession.hpp"

namespace kestles::testing {

/// A test window, the outer frame asked of it and the frame it must land at.
struct PlacementCase {
  const char* name;
  std::vector<std::string> flags;  // for the test client
  Frame target;
  Frame landing;
};

/// Under openbox, whose frame adds 1, 1, 20, 5 (left, right, top, bottom) around a resizable
/// window and 1, 1, 20, 1 around a fixed one.
inline const PlacementCase kManagedPlacements[] = {
    {"no hints", {}, {100, 120, 500, 400}, {100, 120, 500, 400}},
    {"static gravity", {"--gravity", "10"}, {300, 250, 640, 480}, {300, 250, 640, 480}},
    {"south-east gravity", {"--gravity", "9"}, {40, 60, 700, 500}, {40, 60, 700, 500}},
    {"min and max",
     {"--min", "300x200", "--max", "500x350"},
     {50, 50, 900, 900},
     {50, 50, 502, 375}},
    {"below the minimum", {"--min", "300x200"}, {50, 50, 100, 100}, {50, 50, 302, 225}},
    {"fixed size",
     {"--size", "320x240", "--min", "320x240", "--max", "320x240"},
     {70, 80, 900, 700},
     {70, 80, 322, 261}},
    {"increments",
     {"--inc", "6x13", "--base", "4x4", "--size", "484x316"},
     {10, 10, 600, 400},
     {10, 10, 600, 393}},
};

}  // namespace kestles::testing
