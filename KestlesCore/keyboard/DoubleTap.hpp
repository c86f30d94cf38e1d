#pragma once

#include <variant>

namespace kestles {

/// Recognises a double press of Control alone: press, release, press, release, each press
/// short and the pause between them short. Fed with modifier changes and other input.
struct DoubleTap {
  /// Which modifiers are held after a change.
  enum class Modifiers { none, controlOnly, other };

  struct FirstDown {
    double time = 0;
    bool operator==(const FirstDown&) const = default;
  };
  struct FirstUp {
    double time = 0;
    bool operator==(const FirstUp&) const = default;
  };
  struct SecondDown {
    double time = 0;
    bool operator==(const SecondDown&) const = default;
  };
  struct Idle {
    bool operator==(const Idle&) const = default;
  };
  using Phase = std::variant<FirstDown, FirstUp, SecondDown, Idle>;

  /// A modifier change: the modifiers now held, whether the key that changed is a Control
  /// key, and the event's time in seconds.
  struct ModifierChange {
    Modifiers modifiers = Modifiers::none;
    bool controlKey = false;
    double at = 0;
  };
  /// Any other input (a key typed, a click): it cancels a tap in progress.
  struct Interruption {};
  using Input = std::variant<ModifierChange, Interruption>;

  double maxHold = 0.25;  // how long a press may last
  double maxGap = 0.3;    // between the first release and the second press
  double began = 0;       // when the first press of the current attempt came
  Phase phase = Idle{};

  /// Moves on with the input; true exactly when a double tap completes.
  bool handle(const Input& input);

  bool operator==(const DoubleTap&) const = default;
};

}  // namespace kestles
