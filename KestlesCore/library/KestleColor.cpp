#include "KestlesCore/library/KestleColor.hpp"

namespace kestles {
namespace {

constexpr std::array<std::string_view, 13> kRawValues{"blue",   "indigo", "purple",  "pink", "red",
                                                      "orange", "yellow", "green",   "mint", "teal",
                                                      "cyan",   "brown",  "graphite"};

}  // namespace

std::string_view rawValue(KestleColor color) {
  return kRawValues[static_cast<std::size_t>(color)];
}

std::optional<KestleColor> kestleColorFromRawValue(std::string_view raw) {
  for (auto color : kAllKestleColors)
    if (rawValue(color) == raw) return color;
  return std::nullopt;
}

}  // namespace kestles
