#include "KestlesEngine/ipc/IpcCommands.hpp"

#include <cmath>

namespace kestles::ipc {
namespace commands {
namespace {

std::string target(std::uint32_t id) {
  return "[con_id=" + std::to_string(id) + "] ";
}

std::string pixels(double value) {
  return std::to_string(static_cast<long long>(roundedHalfAwayFromZero(value)));
}

}  // namespace

std::string place(std::uint32_t id, const CGRect& frame) {
  return target(id) + "floating enable, resize set " + pixels(frame.width()) + " " +
         pixels(frame.height()) + ", move absolute position " + pixels(frame.minX()) + " " +
         pixels(frame.minY());
}

std::string tile(std::uint32_t id) {
  return target(id) + "floating disable";
}

std::string focus(std::uint32_t id) {
  return target(id) + "focus";
}

std::string fullScreen(std::uint32_t id, bool on) {
  return target(id) + (on ? "fullscreen enable" : "fullscreen disable");
}

std::string minimize(std::uint32_t id, bool on) {
  return target(id) + (on ? "move scratchpad" : "scratchpad show");
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
