#include "KestlesCore/coding/JSONStyle.hpp"

#include "KestlesCore/coding/Coding.hpp"
#include "KestlesCore/coding/JSONStream.hpp"

namespace kestles::json_style {

std::string encode(const nlohmann::json& value) {
  return value.dump(2);
}

nlohmann::json parse(std::string_view bytes) {
  return parseStreaming(
      bytes, {}, [](std::string_view) {}, [](std::string_view, nlohmann::json&&) {});
}

std::string describe(const std::exception& error) {
  if (const auto* json = dynamic_cast<const nlohmann::json::exception*>(&error))
    return coding::describeJSONError(*json);
  return error.what();
}

}  // namespace kestles::json_style
