#pragma once

#include <cstdint>
#include <map>

#include "KestlesCore/geometry/CGRect.hpp"

namespace kestles {

/// The frames snapped windows had before their first snap, for Restore.
struct SnapMemory {
  struct Entry {
    CGRect original;  // the frame before the first snap of a run
    CGRect frame;     // the frame the last snap gave
    bool operator==(const Entry&) const = default;
  };
  std::map<std::uint32_t, Entry> entries;

  bool operator==(const SnapMemory&) const = default;
};

}  // namespace kestles
