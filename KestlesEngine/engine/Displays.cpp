#include "KestlesEngine/engine/Displays.hpp"

namespace kestles::engine {

DisplaySetup Displays::setup() {
  return DisplaySetup{screens_.screens()};
}

std::optional<DisplayInfo> Displays::underMouse() {
  auto pointer = screens_.mouseLocation();
  if (!pointer) return std::nullopt;
  for (const auto& display : screens_.screens())
    if (display.frame.contains(*pointer)) return display;
  return std::nullopt;
}

std::string Displays::displayID(const std::optional<std::string>& uuid, std::uint32_t number) {
  return uuid ? *uuid : "display-" + std::to_string(number);
}

}  // namespace kestles::engine
