#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "KestlesCore/apply/ApplyPlan.hpp"

namespace kestles {

/// The tiles still waiting for windows of launched apps, and the apps that failed.
struct Arrival {
  /// A tile of a display; hashable through `std::hash<Arrival::Spot>`.
  struct Spot {
    std::string displayID;
    int tile = 0;
    auto operator<=>(const Spot&) const = default;
  };
  struct Waiting {
    AppRef app;
    Spot spot;
    bool operator==(const Waiting&) const = default;
  };

  std::vector<Waiting> waiting;
  std::vector<AppRef> failures;

  /// One waiting entry per pending tile, launches in order then tiles in order.
  static Arrival make(const std::vector<ApplyPlan::Launch>& launches);

  /// The distinct apps still waiting, in first-seen order.
  std::vector<AppRef> apps() const;
  /// Removes and returns the entries whose spot one of the moves fills.
  std::vector<Waiting> filled(const std::vector<ApplyPlan::Move>& moves);
  /// Records a waiting app as failed (once) and forgets its entries; an app that is not
  /// waiting changes nothing.
  void failed(std::string_view bundleID);

  bool operator==(const Arrival&) const = default;
};

}  // namespace kestles

template <>
struct std::hash<kestles::Arrival::Spot> {
  std::size_t operator()(const kestles::Arrival::Spot& spot) const noexcept {
    return std::hash<std::string>()(spot.displayID) * 31 + std::hash<int>()(spot.tile);
  }
};
