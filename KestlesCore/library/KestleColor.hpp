#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace kestles {

/// The colour of a kestle's badge, stored by raw value.
enum class KestleColor {
  blue,
  indigo,
  purple,
  pink,
  red,
  orange,
  yellow,
  green,
  mint,
  teal,
  cyan,
  brown,
  graphite
};

inline constexpr std::array<KestleColor, 13> kAllKestleColors{
    KestleColor::blue,    KestleColor::indigo, KestleColor::purple, KestleColor::pink,
    KestleColor::red,     KestleColor::orange, KestleColor::yellow, KestleColor::green,
    KestleColor::mint,    KestleColor::teal,   KestleColor::cyan,   KestleColor::brown,
    KestleColor::graphite};

/// The raw value stored in files ("blue").
std::string_view rawValue(KestleColor color);

/// The colour of a raw value, or nothing.
std::optional<KestleColor> kestleColorFromRawValue(std::string_view raw);

}  // namespace kestles
