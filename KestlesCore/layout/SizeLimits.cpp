#include "KestlesCore/layout/SizeLimits.hpp"

#include <algorithm>
#include <cmath>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"

#include "KestlesCore/coding/JSONNumber.hpp"

namespace kestles {
namespace {

/// One side of a window's size under its limits: the maximum first, then the minimum wins.
double limitedLength(double asked, double minimum, double maximum) {
  double length = maximum > 0 && maximum < asked ? maximum : asked;
  return std::max(length, minimum);
}

double learnedMinimum(double old, double requested, double actual) {
  return old < actual && actual - requested > kLearningTolerance ? actual : old;
}

double learnedMaximum(double old, double requested, double actual, bool forgetting) {
  if (requested - actual > kLearningTolerance) return std::max(old, actual);
  if (forgetting && old > 0 && actual - old > kLearningTolerance) return 0;
  return old;
}

/// The landing position along one axis: centred on the target, kept within the visible span.
double landedStart(double targetMid, double length, double visibleMin, double visibleMax) {
  double start = roundedHalfAwayFromZero(targetMid - length * 0.5);
  start = std::max(start, visibleMin);
  return std::min(start, std::max(visibleMin, visibleMax - length));
}

/// A number under the key, or 0 when it is missing or not a number.
double numberOrZero(const nlohmann::json& json, const char* key) {
  auto found = json.find(key);
  return found != json.end() && found->is_number() ? found->get<double>() : 0;
}

void requireObject(const nlohmann::json& json) {
  if (!json.is_object()) throw coding::DecodeError("Expected a size object.");
}

template <class Size>
void writeSize(nlohmann::json& json, const Size& size) {
  json = nlohmann::json{{"width", jsonNumber(size.width)}, {"height", jsonNumber(size.height)}};
}

template <class Size>
void readSize(const nlohmann::json& json, Size& size) {
  requireObject(json);
  size = {numberOrZero(json, "width"), numberOrZero(json, "height")};
}

}  // namespace

CGRect SizeLimits::applied(const CGRect& frame, const CGRect& within) const {
  CGSize size{limitedLength(frame.width(), minimum.width, maximum.width),
              limitedLength(frame.height(), minimum.height, maximum.height)};
  if (std::fabs(size.width - frame.width()) <= 0.5 &&
      std::fabs(size.height - frame.height()) <= 0.5)
    return frame;
  return landing(size, frame, within);
}

std::optional<SizeLimits> SizeLimits::learning(CGSize requested, CGSize actual,
                                               bool forgetting) const {
  SizeLimits learned{{learnedMinimum(minimum.width, requested.width, actual.width),
                      learnedMinimum(minimum.height, requested.height, actual.height)},
                     {learnedMaximum(maximum.width, requested.width, actual.width, forgetting),
                      learnedMaximum(maximum.height, requested.height, actual.height, forgetting)}};
  if (learned == *this) return std::nullopt;
  return learned;
}

CGRect landing(CGSize size, const CGRect& target, const CGRect& visible) {
  return {landedStart(target.midX(), size.width, visible.minX(), visible.maxX()),
          landedStart(target.midY(), size.height, visible.minY(), visible.maxY()), size.width,
          size.height};
}

void to_json(nlohmann::json& json, const MinimumSize& size) {
  writeSize(json, size);
}

void from_json(const nlohmann::json& json, MinimumSize& size) {
  readSize(json, size);
}

void to_json(nlohmann::json& json, const MaximumSize& size) {
  writeSize(json, size);
}

void from_json(const nlohmann::json& json, MaximumSize& size) {
  readSize(json, size);
}

void to_json(nlohmann::json& json, const SizeLimits& limits) {
  writeSize(json, limits.minimum);
  if (limits.maximum.width > 0) json["maxWidth"] = jsonNumber(limits.maximum.width);
  if (limits.maximum.height > 0) json["maxHeight"] = jsonNumber(limits.maximum.height);
}

void from_json(const nlohmann::json& json, SizeLimits& limits) {
  requireObject(json);
  limits = {{numberOrZero(json, "width"), numberOrZero(json, "height")},
            {numberOrZero(json, "maxWidth"), numberOrZero(json, "maxHeight")}};
}

}  // namespace kestles
