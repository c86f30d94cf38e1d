#include "KestlesCore/layout/Split.hpp"

#include <string>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {

std::string_view rawValue(Split split) {
  return split == Split::rows ? "rows" : "columns";
}

std::optional<Split> splitFromRawValue(std::string_view raw) {
  for (auto split : kAllSplits)
    if (rawValue(split) == raw) return split;
  return std::nullopt;
}

void to_json(nlohmann::json& json, Split split) {
  json = std::string(rawValue(split));
}

void from_json(const nlohmann::json& json, Split& split) {
  auto text = coding::decode<std::string>(json);
  auto read = splitFromRawValue(text);
  if (!read) throw coding::DecodeError("Unknown split “" + text + "”.");
  split = *read;
}

}  // namespace kestles
