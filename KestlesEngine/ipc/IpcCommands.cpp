#include "KestlesEngine/ipc/IpcCommands.hpp"

#include <cmath>

namespace kestles::ipc {
namespace commands {
namespace {

std::string target(Target window) {
  return (window.xWindow ? "[id=" : "[con_id=") + std::to_string(window.id) + "] ";
}

std::string pixels(double value) {
  return std::to_string(static_cast<long long>(roundedHalfAwayFromZero(value)));
}

}  // namespace

std::string place(Target window, const CGRect& frame) {
  return target(window) + "floating enable, resize set " + pixels(frame.width()) + " " +
         pixels(frame.height()) + ", move absolute position " + pixels(frame.minX()) + " " +
         pixels(frame.minY());
}

std::string tile(Target window, std::uint64_t previous, std::uint64_t next) {
  auto back = target(window) + "floating disable";
  // The compositor puts a window back next to the focused one; a mark on its old neighbour
  // takes it to where it was (a move to a mark lands right after the marked container).
  auto neighbour = previous != 0 ? previous : next;
  if (neighbour == 0) return back;
  auto marked = "[con_id=" + std::to_string(neighbour) + "] ";
  back += "; " + marked + "mark --add _kestles_back; " + target(window) +
          "move container to mark _kestles_back";
  if (previous == 0)
    back += "; " + target(window) + "swap container with con_id " + std::to_string(next);
  return back + "; unmark _kestles_back";
}

std::string focus(Target window) {
  return target(window) + "focus";
}

std::string fullScreen(Target window, bool on) {
  return target(window) + (on ? "fullscreen enable" : "fullscreen disable");
}

std::string minimize(Target window, bool on) {
  return target(window) + (on ? "move scratchpad" : "scratchpad show");
}

std::string exec(const std::string& commandLine) {
  return "exec " + commandLine;
}

std::string bind(const std::string& combo, const std::string& command) {
  return "bindsym --no-repeat " + combo + " " + command;
}

std::string unbind(const std::string& combo) {
  return "unbindsym " + combo;
}

}  // namespace commands

std::string shellQuoted(const std::string& argument) {
  std::string quoted = "'";
  for (char c : argument) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  return quoted + "'";
}

}  // namespace kestles::ipc
