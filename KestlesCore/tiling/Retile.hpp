#pragma once

#include <variant>

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

  static Retile evenOut() { return {EvenOut{}}; }
  static Retile rotate(int by) { return {Rotate{by}}; }
  static Retile flip(Flip axis) { return {FlipTiles{axis}}; }
  static Retile turn() { return {Turn{}}; }
  bool operator==(const Retile&) const = default;
};

}  // namespace kestles
