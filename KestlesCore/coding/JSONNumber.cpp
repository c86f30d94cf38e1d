#include "KestlesCore/coding/JSONNumber.hpp"

#include <cmath>
#include <cstdint>

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {

nlohmann::json jsonNumber(double value) {
  // Beyond 2^53 a double no longer names one integer; keep it as a double there.
  constexpr double kExactLimit = 9007199254740992.0;
  if (std::trunc(value) == value && std::fabs(value) <= kExactLimit)
    return static_cast<std::int64_t>(value);
  return value;
}

double readNumber(const nlohmann::json& json) {
  if (!json.is_number()) throw coding::DecodeError("Expected a number.");
  return json.get<double>();
}

}  // namespace kestles
