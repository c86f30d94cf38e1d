#include "KestlesCore/keyboard/DoubleTap.hpp"
#include "KestlesCore/model/Overloaded.hpp"

namespace kestles {
namespace {}  // namespace

bool DoubleTap::handle(const Input& input) {
  auto change = std::get_if<ModifierChange>(&input);
  if (!change) {
    phase = Idle{};
    return false;
  }
  bool pressed = change->modifiers == Modifiers::controlOnly && change->controlKey;
  bool released = change->modifiers == Modifiers::none;
  auto at = change->at;
  // A press that does not continue the attempt starts a new one.
  auto restart = [&] {
    if (pressed) {
      phase = FirstDown{at};
      began = at;
    } else {
      phase = Idle{};
    }
    return false;
  };
  return std::visit(Overloaded{
                        [&](Idle) { return restart(); },
                        [&](FirstDown down) {
                          if (!released || at - down.time > maxHold) return restart();
                          phase = FirstUp{at};
                          return false;
                        },
                        [&](FirstUp up) {
                          if (!pressed || at - up.time > maxGap) return restart();
                          phase = SecondDown{at};
                          return false;
                        },
                        [&](SecondDown down) {
                          if (!released || at - down.time > maxHold) return restart();
                          phase = Idle{};
                          return true;
                        },
                    },
                    phase);
}

}  // namespace kestles
