#pragma once

#include <cstddef>
#include <functional>
#include <optional>

namespace kestles {

/// Mixes a part's hash into a record's running hash; the order of the parts matters, so
/// that records with the same parts in other fields hash apart.
inline void hashCombine(std::size_t& seed, std::size_t value) {
  seed ^= value + 0x9E3779B97F4A7C15ULL + (seed << 6) + (seed >> 2);
}

/// An optional part: its value's hash, or a fixed marker when absent, so that an absent
/// value and a present one whose hash happens to be 0 still differ in most cases.
template <class T>
std::size_t optionalHash(const std::optional<T>& value) {
  return value ? std::hash<T>{}(*value) : 0x5A5A5A5AU;
}

}  // namespace kestles
