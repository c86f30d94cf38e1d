#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "KestlesCore/command/KestlesCommand.hpp"
#include "KestlesCore/layout/Gaps.hpp"
#include "KestlesCore/session/SessionState.hpp"
#include "KestlesCore/world/World.hpp"

namespace kestles {

struct CommandOutcome;

/// Whether an outcome does anything a user would see on `world`: moves a window that is not
/// where it goes already, opens, shows or focuses one, or changes a setting, the undo history
/// or the apps left out.
bool doesSomething(const CommandOutcome& outcome, const World& world);

/// Why a command that could be carried out moved nothing, in one sentence, as the tool and
/// the notices show it ("The windows already stand in this arrangement."); nothing for the
/// commands that open a mode or a window of the app's instead. `state` is the session before
/// the command, `front` the window the command acted on.
std::optional<std::string> whyNothingMoved(const KestlesCommand& command,
                                           const CommandOutcome& outcome, const World& world,
                                           const SessionState& state,
                                           std::optional<std::uint32_t> front, const Gaps& gaps);

}  // namespace kestles
