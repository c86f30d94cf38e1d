#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "KestlesCore/display/DisplayShape.hpp"
#include "KestlesCore/layout/TileShape.hpp"

namespace kestles {

/// A built-in, named tile shape.
struct Template {
  std::string id;               // stable, e.g. "halves"
  std::string name;             // shown to the user
  std::string symbol;           // the name of a system symbol image
  TileShape shape;              // always a tree, with node ids that never change
  std::set<DisplayShape> fits;  // the display shapes it is offered for

  /// The whole catalogue in its fixed order, built on first use and shared.
  static const std::vector<Template>& all();
  /// The template with the id, or null.
  static const Template* withID(std::string_view id);

  bool operator==(const Template&) const = default;
};

}  // namespace kestles
