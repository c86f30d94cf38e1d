#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace kestles {

/// A rearrangement of the tiles already on a display.
struct Retile {
  enum class Flip { horizontal, vertical };
  struct EvenOut {
    bool operator==(const EvenOut&) const = default;
  };
  struct Rotate {
    int by = 1;  // positive moves windows on, negative back
    bool operator==(const Rotate&) const = default;
  };
  struct FlipTiles {
    Flip axis = Flip::horizontal;
    bool operator==(const FlipTiles&) const = default;
  };
  struct Turn {
    bool operator==(const Turn&) const = default;
  };
  std::variant<EvenOut, Rotate, FlipTiles, Turn> value;

  /// What a rearrangement does to a display's windows; defined in RetilePlan.hpp.
  struct Plan;

  static Retile evenOut() { return {EvenOut{}}; }
  static Retile rotate(int by) { return {Rotate{by}}; }
  static Retile flip(Flip axis) { return {FlipTiles{axis}}; }
  static Retile turn() { return {Turn{}}; }
  bool operator==(const Retile&) const = default;
};

inline constexpr std::array<Retile::Flip, 2> kAllRetileFlips{Retile::Flip::horizontal,
                                                             Retile::Flip::vertical};

/// The raw value stored in files ("horizontal", "vertical").
std::string_view rawValue(Retile::Flip flip);

/// The flip of a raw value, or nothing.
std::optional<Retile::Flip> retileFlipFromRawValue(std::string_view raw);

/// The sentence that explains the rearrangement ("Every window moves on to the next tile.").
std::string_view description(const Retile& retile);

/// The extra words the command palette finds the rearrangement by.
std::vector<std::string_view> searchWords(const Retile& retile);

/// One key naming the case: {"rotate": {"_0": k}}, {"flip": {"_0": "vertical"}},
/// {"evenOut": {}}, {"turn": {}}. Reading fails on any other number of keys with "Invalid
/// number of keys found, expected one." and on an unknown case or payload.
void to_json(nlohmann::json& json, const Retile& retile);
void from_json(const nlohmann::json& json, Retile& retile);

}  // namespace kestles
