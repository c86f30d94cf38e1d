#include "KestlesCore/coding/Coding.hpp"

namespace kestles::coding {

void requireObject(const json& value, std::string_view what) {
  if (!value.is_object()) throw DecodeError(std::string(what) + " is not an object");
}

const json* member(const json& object, std::string_view key) {
  if (!object.is_object()) return nullptr;
  auto found = object.find(key);
  return found == object.end() ? nullptr : &*found;
}

}  // namespace kestles::coding
