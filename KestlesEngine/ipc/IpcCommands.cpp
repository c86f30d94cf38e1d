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

std::string tile(Target window) {
  return target(window) + "floating disable";
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
