#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "KestlesEngine/PlatformChoice.hpp"

namespace kestles {

/// Gives the chosen desktop its keyboard: on X11 the hot keys, raw input and the keyboard
/// modes' overlay, each on a connection of its own; on sway the names its key bindings are
/// written with; on i3 the X server's hot keys; the simulated desktop has its keys in memory
/// already. Only the running app calls this: a one-shot command and the tool need no keys, and
/// the tool, linked statically, then carries no keyboard library (this is a source of its own for
/// that reason).
void adoptKeyboard(PlatformChoice& choice);

/// The keysym name ("Left", "Return", "a") of a stored key code, as a compositor's `bindsym`
/// reads it; nothing for a code the key table lacks.
std::optional<std::string> compositorKeyName(std::uint32_t keyCode);

}  // namespace kestles
