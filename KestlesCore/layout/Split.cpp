#include "KestlesCore/layout/Split.hpp"

#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

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
  auto read = splitFromRawValue(json.get_ref<const std::string&>());
  if (!read) throw std::invalid_argument("Unknown split “" + json.get<std::string>() + "”.");
  split = *read;
}

}  // namespace kestles
