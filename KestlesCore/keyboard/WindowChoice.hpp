#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "KestlesCore/world/World.hpp"

namespace kestles {

/// The windows of one display offered as switches, to choose which of them to tile.
struct WindowChoice {
  /// One window's switch.
  struct Chip {
    std::uint32_t id = 0;
    std::string bundleID;
    std::string appName;
    std::string title;
    std::optional<int> number;  // the digit key that flips it: 1 to 9, by position
    bool isOn = false;
    bool operator==(const Chip&) const = default;
  };

  std::string displayID;
  std::vector<Chip> chips;

  /// The display's visible windows front to back, those in `on` switched on; the first nine
  /// are numbered 1 to 9.
  static WindowChoice make(const World& world, const std::string& displayID,
                           const std::set<std::uint32_t>& on);

  /// Flips the window's switch; false when the window is not offered.
  bool toggle(std::uint32_t window);
  /// Flips the switch numbered `number`; false when no chip has that number.
  bool toggleNumber(int number);
  /// The windows switched on, in chip order.
  std::vector<std::uint32_t> chosen() const;

  bool operator==(const WindowChoice&) const = default;
};

}  // namespace kestles
