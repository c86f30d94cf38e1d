#pragma once

#include <string>
#include <string_view>
#include <variant>

#include <nlohmann/json_fwd.hpp>

namespace kestles {

/// A change to the gaps: a size in points, or a step wider or narrower.
struct GapsChange {
  struct Points {
    int points;
    bool operator==(const Points&) const = default;
  };
  struct Wider {
    bool operator==(const Wider&) const = default;
  };
  struct Narrower {
    bool operator==(const Narrower&) const = default;
  };
  std::variant<Points, Wider, Narrower> value{Points{0}};

  static GapsChange points(int n) { return {Points{n}}; }
  static GapsChange wider() { return {Wider{}}; }
  static GapsChange narrower() { return {Narrower{}}; }
  bool operator==(const GapsChange&) const = default;
};

/// The bounds of a gap size, in points.
inline constexpr int kMinimumGap = 0;
inline constexpr int kMaximumGap = 24;

/// What the gaps reader made of a text.
struct GapsReading {
  enum class Kind { change, outOfRange, notAChange };
  Kind kind = Kind::notAChange;
  GapsChange change;
  long long number = 0;  // the number typed, for the out-of-range sentence
};

/// Reads "wider", "narrower" (any case) or a decimal integer from 0 to 24.
GapsReading readGapsChange(std::string_view text);

/// The link word of a change: "wider", "narrower" or the points in decimal.
std::string linkWord(const GapsChange& change);

/// The keyed form: {"wider": {}}, {"narrower": {}} or {"points": {"_0": n}}. Reading
/// throws unless there is exactly one key naming a case.
void to_json(nlohmann::json& json, const GapsChange& change);
void from_json(const nlohmann::json& json, GapsChange& change);

}  // namespace kestles
