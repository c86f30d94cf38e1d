#include "KestlesCore/library/DisplayKind.hpp"

#include <cmath>

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {
namespace {

constexpr double kSimilarAspect = 0.08;

double aspectOf(const DisplayInfo& display) {
  double height = display.frame.height();
  return height > 0 ? display.frame.width() / height : 1;
}

}  // namespace

DisplayKind DisplayKind::of(const DisplayInfo& display) {
  return {display.id, display.name, display.isBuiltIn, aspectOf(display)};
}

DisplayKind::Fit DisplayKind::fit(const DisplayInfo& display) const {
  if (display.id == displayID) return Fit::same;
  if (!(aspect > 0)) return Fit::other;
  return std::fabs(aspectOf(display) - aspect) / aspect <= kSimilarAspect ? Fit::similar
                                                                          : Fit::other;
}

void to_json(nlohmann::json& json, const DisplayKind& kind) {
  json = {{"displayID", kind.displayID},
          {"name", kind.name},
          {"isBuiltIn", kind.isBuiltIn},
          {"aspect", kind.aspect}};
}

void from_json(const nlohmann::json& json, DisplayKind& kind) {
  coding::requireObject(json, "a display kind");
  kind.displayID = coding::required<std::string>(json, "displayID");
  kind.name = coding::required<std::string>(json, "name");
  kind.isBuiltIn = coding::required<bool>(json, "isBuiltIn");
  kind.aspect = coding::required<double>(json, "aspect");
}

}  // namespace kestles
