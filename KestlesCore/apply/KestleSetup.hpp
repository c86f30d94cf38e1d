#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "KestlesCore/display/DisplaySetup.hpp"
#include "KestlesCore/library/Kestle.hpp"

namespace kestles {

/// A set of displays a kestle has an arrangement for, or the one connected now.
struct KestleSetup {
  std::string fingerprint;
  std::string title;
  bool isCurrent = false;
  bool isSaved = false;

  /// One entry per fingerprint the kestle has an arrangement for, and the connected setup
  /// when it has none; fewer displays first, then by title in standard order (case
  /// folded, digit runs by value). The connected setup has its own title; another is
  /// titled by the names its arrangement's screens keep, built-in first, an id without a
  /// screen by the id itself.
  static std::vector<KestleSetup> list(const Kestle& kestle, const DisplaySetup& current);

  bool operator==(const KestleSetup&) const = default;
};

/// The standard order of titles shown in lists: folded for case, diacritics and width,
/// with runs of ASCII digits compared by their value ("Display 2" before "Display 10").
bool standardOrderLess(const std::string& a, const std::string& b);

}  // namespace kestles

template <>
struct std::hash<kestles::KestleSetup> {
  std::size_t operator()(const kestles::KestleSetup& setup) const noexcept {
    std::size_t seed = std::hash<std::string>()(setup.fingerprint);
    seed = seed * 31 + std::hash<std::string>()(setup.title);
    return seed * 4 + setup.isCurrent * 2 + setup.isSaved;
  }
};
