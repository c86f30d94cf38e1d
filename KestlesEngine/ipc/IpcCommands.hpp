#pragma once

#include <cstdint>
#include <string>

#include "KestlesCore/geometry/CGRect.hpp"

namespace kestles::ipc {

/// The commands the layer sends, each aimed at one container by its id. Several join with
/// `; ` into one `run_command`.
namespace commands {

/// Floats the window and gives it the whole frame (title bar included), in integer pixels.
/// The size goes first: resizing a floating window keeps its centre, so a position set
/// before it would be lost.
std::string place(std::uint32_t id, const CGRect& frame);
/// Puts the window back into the tiling.
std::string tile(std::uint32_t id);
std::string focus(std::uint32_t id);
std::string fullScreen(std::uint32_t id, bool on);
/// Into the scratchpad (minimized), or shown from it on the current workspace.
std::string minimize(std::uint32_t id, bool on);
/// Starts a shell command line through the compositor, so that its window opens on the
/// workspace in front.
std::string exec(const std::string& commandLine);

}  // namespace commands

/// One argument quoted for the shell that the compositor's `exec` hands its line to.
std::string shellQuoted(const std::string& argument);

}  // namespace kestles::ipc
