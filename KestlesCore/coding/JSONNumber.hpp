#pragma once

#include <nlohmann/json.hpp>

namespace kestles {

/// A double as JSON: whole values as integers ("300", not "300.0"), the way the
/// system's files have always written them; anything else as a double.
nlohmann::json jsonNumber(double value);

/// A JSON number as a double; throws coding::DecodeError for anything else (a boolean is not a
/// number).
double readNumber(const nlohmann::json& json);

}  // namespace kestles
