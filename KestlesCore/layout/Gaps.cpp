#include "KestlesCore/layout/Gaps.hpp"

#include <algorithm>
#include <cmath>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"

#include "KestlesCore/coding/JSONNumber.hpp"

namespace kestles {
namespace {

constexpr double kDefaultGap = 8;
constexpr double kGapStep = 4;

double clampedGap(double value) {
  return std::clamp(value, double{kMinimumGap}, double{kMaximumGap});
}

double candidateGap(const GapsChange& change, double inner) {
  if (auto* points = std::get_if<GapsChange::Points>(&change.value)) return points->points;
  double steps = clampedGap(inner) / kGapStep;
  if (std::holds_alternative<GapsChange::Wider>(change.value))
    return (std::floor(steps) + 1) * kGapStep;
  return (std::ceil(steps) - 1) * kGapStep;
}

std::string wholePoints(double value) {
  return std::to_string(std::llround(value));
}

double readGap(const nlohmann::json& json, const char* key) {
  auto found = json.find(key);
  double value = found != json.end() && found->is_number() ? found->get<double>() : kDefaultGap;
  return clampedGap(value);
}

}  // namespace

std::optional<Gaps> Gaps::applying(const GapsChange& change) const {
  double gap = clampedGap(candidateGap(change, inner));
  if (gap == inner && gap == outer) return std::nullopt;
  return Gaps{gap, gap};
}

std::string gapTitle(double value) {
  if (value == 0) return "No Gaps";
  std::string title = "Gaps ";
  title.append(wholePoints(value)).append(" pt");
  return title;
}

std::string Gaps::title() const {
  if (inner == outer) return gapTitle(inner);
  std::string title = "Gaps ";
  title.append(wholePoints(inner)).append(" → ").append(wholePoints(outer)).append(" pt");
  return title;
}

void to_json(nlohmann::json& json, const Gaps& gaps) {
  json = nlohmann::json{{"inner", jsonNumber(gaps.inner)}, {"outer", jsonNumber(gaps.outer)}};
}

void from_json(const nlohmann::json& json, Gaps& gaps) {
  if (!json.is_object()) throw coding::DecodeError("Expected a gaps object.");
  gaps = {readGap(json, "inner"), readGap(json, "outer")};
}

}  // namespace kestles
