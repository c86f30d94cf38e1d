#pragma once

#include <string>
#include <variant>

#include "KestlesCore/layout/LayoutRef.hpp"
#include "KestlesCore/layout/Template.hpp"
#include "KestlesCore/library/SavedLayout.hpp"

namespace kestles {

/// A layout offered to the user: a built-in template or one of their saved layouts.
struct LayoutEntry {
  std::variant<Template, SavedLayout> value;

  static LayoutEntry templateEntry(Template layoutTemplate) { return {std::move(layoutTemplate)}; }
  static LayoutEntry saved(SavedLayout layout) { return {std::move(layout)}; }

  const TileShape& shape() const;
  const std::string& name() const;
  /// The reference a tiling made from this entry records.
  LayoutRef reference() const;

  bool operator==(const LayoutEntry&) const = default;
};

}  // namespace kestles
