#pragma once

#include <cstdio>

#include "KestlesCore/layout/LayoutNode.hpp"

namespace kestles::testing {

/// A readable fixed id: node n is 00000000-0000-4000-8000-00000000000n (in decimal digits).
inline UUID idOf(int n) {
  char text[40];
  std::snprintf(text, sizeof text, "00000000-0000-4000-8000-%012d", n);
  return *UUID::fromString(text);
}

/// A tile with a fixed id.
inline LayoutNode leaf(int n, double weight = 1.0, std::optional<int> rank = std::nullopt) {
  return {idOf(n), weight, std::nullopt, {}, false, rank};
}

inline LayoutNode spacerLeaf(int n, double weight = 1.0) {
  return {idOf(n), weight, std::nullopt, {}, true, std::nullopt};
}

inline LayoutNode box(int n, Split split, std::vector<LayoutNode> children, double weight = 1.0) {
  return {idOf(n), weight, split, std::move(children), false, std::nullopt};
}

}  // namespace kestles::testing
