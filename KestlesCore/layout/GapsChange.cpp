#include "KestlesCore/layout/GapsChange.hpp"

#include <charconv>
#include <optional>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"

#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

/// An optional sign and decimal digits that fit a 64-bit integer, nothing else.
std::optional<long long> readInteger(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  for (char c : text)
    if (c < '0' || c > '9') return std::nullopt;
  long long value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return negative ? -value : value;
}

}  // namespace

GapsReading readGapsChange(std::string_view text) {
  auto word = text::asciiLowercased(text);
  if (word == "wider") return {GapsReading::Kind::change, GapsChange::wider(), 0};
  if (word == "narrower") return {GapsReading::Kind::change, GapsChange::narrower(), 0};
  auto number = readInteger(text);
  if (!number) return {};
  if (*number < kMinimumGap || *number > kMaximumGap)
    return {GapsReading::Kind::outOfRange, {}, *number};
  return {GapsReading::Kind::change, GapsChange::points(static_cast<int>(*number)), *number};
}

std::string linkWord(const GapsChange& change) {
  if (std::holds_alternative<GapsChange::Wider>(change.value)) return "wider";
  if (std::holds_alternative<GapsChange::Narrower>(change.value)) return "narrower";
  return std::to_string(std::get<GapsChange::Points>(change.value).points);
}

void to_json(nlohmann::json& json, const GapsChange& change) {
  auto word = linkWord(change);
  if (auto* points = std::get_if<GapsChange::Points>(&change.value))
    json = nlohmann::json{{"points", {{"_0", points->points}}}};
  else
    json = nlohmann::json{{word, nlohmann::json::object()}};
}

void from_json(const nlohmann::json& json, GapsChange& change) {
  if (!json.is_object() || json.size() != 1)
    throw coding::DecodeError("Invalid number of keys found, expected one.");
  auto entry = json.begin();
  const std::string& key = entry.key();
  if (key == "wider") {
    change = GapsChange::wider();
  } else if (key == "narrower") {
    change = GapsChange::narrower();
  } else if (key == "points") {
    change = GapsChange::points(coding::required<int>(entry.value(), "_0"));
  } else {
    throw coding::DecodeError("Unknown gaps change “" + key + "”.");
  }
}

}  // namespace kestles
