#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

#include "KestlesCore/apply/ApplyTarget.hpp"
#include "KestlesCore/display/DisplayInfo.hpp"
#include "KestlesCore/library/Kestle.hpp"
#include "KestlesCore/library/LayoutEntry.hpp"
#include "KestlesCore/library/Library.hpp"
#include "KestlesCore/tiling/Tiling.hpp"

namespace kestles {

/// One thing to do after displays came or went.
struct RuleAction {
  /// Apply the current kestle again on the new set of displays.
  struct Adapt {
    Kestle kestle;
    bool operator==(const Adapt&) const = default;
  };
  /// Lay the display out with the template or saved layout.
  struct Layout {
    LayoutEntry entry;
    DisplayInfo display;
    bool operator==(const Layout&) const = default;
  };
  /// Put remembered tilings back on their displays.
  struct TilesBack {
    std::vector<Tiling> tilings;
    bool operator==(const TilesBack&) const = default;
  };

  std::variant<Adapt, Layout, TilesBack> value;

  /// The apply target that carries the action out.
  ApplyTarget target() const;

  bool operator==(const RuleAction&) const = default;
};

/// The template or saved layout a reference names in the library, or nothing.
std::optional<LayoutEntry> resolvedLayout(const LayoutRef& ref, const Library& library);

/// The current kestle, when display rules are on and some rule's layout still resolves;
/// otherwise nothing.
std::optional<Kestle> currentKestleUnderRules(const Library& library);

}  // namespace kestles

/// Hashes a part of each payload that equal actions share: the kestle's id, the layout's
/// reference and display id, the tilings' display ids and windows.
template <>
struct std::hash<kestles::RuleAction> {
  std::size_t operator()(const kestles::RuleAction& action) const noexcept;
};
