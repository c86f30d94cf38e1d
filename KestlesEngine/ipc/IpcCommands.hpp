#pragma once

#include <cstdint>
#include <string>

#include "KestlesCore/geometry/CGRect.hpp"

namespace kestles::ipc {

/// The commands the layer sends, each aimed at one window. Several join with `; ` into one
/// `run_command`.
namespace commands {

/// A window as commands name it: by its container id (sway), or by its X window id (i3,
/// whose container ids are 64-bit addresses that no window number can hold).
struct Target {
  std::uint32_t id = 0;
  bool xWindow = false;
  Target(std::uint32_t containerID) : id(containerID) {}  // NOLINT: a container id names one
  Target(std::uint32_t windowID, bool isXWindow) : id(windowID), xWindow(isXWindow) {}
};

/// Floats the window and gives it the whole frame (title bar included), in integer pixels.
/// The size goes first: resizing a floating window keeps its centre, so a position set
/// before it would be lost.
std::string place(Target window, const CGRect& frame);
/// Puts the window back into the tiling, right after the container `previous` when it is
/// not 0, else right before `next` when that is not 0, else where the compositor puts it.
std::string tile(Target window, std::uint64_t previous = 0, std::uint64_t next = 0);
std::string focus(Target window);
std::string fullScreen(Target window, bool on);
/// Into the scratchpad (minimized), or shown from it on the current workspace.
std::string minimize(Target window, bool on);
/// Starts a shell command line through the compositor, so that its window opens on the
/// workspace in front.
std::string exec(const std::string& commandLine);
/// Binds a key combination (as `bindsym` writes it) to a command in the current mode, run once
/// per press: not again while the keys are held, as a grabbed hot key.
std::string bind(const std::string& combo, const std::string& command);
/// Removes the binding of a key combination.
std::string unbind(const std::string& combo);

}  // namespace commands

/// One argument quoted for the shell that the compositor's `exec` hands its line to.
std::string shellQuoted(const std::string& argument);

}  // namespace kestles::ipc
