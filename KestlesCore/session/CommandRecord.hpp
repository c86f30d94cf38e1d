#pragma once

#include <optional>

#include "KestlesCore/command/KestlesCommand.hpp"
#include "KestlesCore/library/Library.hpp"
#include "KestlesCore/session/CommandPlanner.hpp"
#include "KestlesCore/session/SessionState.hpp"
#include "KestlesCore/undo/UndoEntry.hpp"
#include "KestlesCore/world/World.hpp"

namespace kestles {

/// The undo entry for carrying out a command's outcome on the world `before`, with the
/// library and session state as they were: the frames of the windows it moves, the windows
/// and apps it brings back, the current kestle and layouts it replaces, the tilings and snap
/// memory of the displays it touches, the keep-tiled displays it turns on or off and the
/// gaps it changes. Nothing when the outcome changes nothing that undo could put back.
std::optional<UndoEntry> undoEntryFor(const KestlesCommand& command, const CommandOutcome& outcome,
                                      const World& before, const Library& library,
                                      const SessionState& state);

/// Writes the outcome's library part: the kestle it made current, the current layouts of
/// the displays it laid out, an arrangement it derived for the display set, the kept-tiled
/// displays and the gaps. True when anything changed.
bool recordInLibrary(Library& library, const CommandOutcome& outcome);

/// Puts the entry's tiling part (the displays' tilings and the snap memory) back into the
/// session state; returns the part it replaced, for the entry that does the opposite.
std::optional<UndoEntry::Rearrangement> restoreSession(SessionState& state, const UndoEntry& entry);

}  // namespace kestles
