#pragma once

#include "KestlesEngine/PlatformChoice.hpp"

namespace kestles {

/// Gives the chosen desktop its keyboard: on X11 the hot keys, raw input and the keyboard
/// modes' overlay, each on a connection of its own; the simulated desktop has its keys in memory
/// already. Only the running app calls this: a one-shot command and the tool need no keys, and the
/// tool, linked statically, then carries no keyboard library (this is a source of its own for that
/// reason).
void adoptKeyboard(PlatformChoice& choice);

}  // namespace kestles
