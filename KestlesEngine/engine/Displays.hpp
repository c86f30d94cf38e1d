#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "KestlesCore/display/DisplaySetup.hpp"
#include "KestlesEngine/platform/Screens.hpp"

namespace kestles::engine {

/// The connected displays as the core's display setup. Main thread only.
class Displays {
 public:
  explicit Displays(platform::Screens& screens) : screens_(screens) {}

  /// The displays now, in the platform's order.
  DisplaySetup setup();
  /// The display whose frame holds the pointer; nothing when none does or the pointer's
  /// place is unknown.
  std::optional<DisplayInfo> underMouse();
  /// A display's id: its UUID string, else "display-" and the display number.
  static std::string displayID(const std::optional<std::string>& uuid, std::uint32_t number);

 private:
  platform::Screens& screens_;
};

}  // namespace kestles::engine
