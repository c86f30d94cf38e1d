#include "KestlesCore/coding/Coding.hpp"

namespace kestles::coding {

void requireObject(const json& value, std::string_view what) {
  if (!value.is_object()) throw DecodeError(std::string(what) + " is not an object");
}

std::string describeJSONError(const nlohmann::json::exception& error) {
  std::string_view text = error.what();
  if (text.starts_with("[json.exception.")) {
    auto end = text.find("] ");
    if (end != std::string_view::npos) text.remove_prefix(end + 2);
  }
  return std::string(text);
}

const json* member(const json& object, std::string_view key) {
  if (!object.is_object()) return nullptr;
  auto found = object.find(key);
  return found == object.end() ? nullptr : &*found;
}

}  // namespace kestles::coding
