#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kestles {

/// A place or move for a single window. The order of the cases is the order of every
/// list of places shown to users.
enum class SnapAction {
  leftHalf,
  rightHalf,
  topHalf,
  bottomHalf,
  topLeft,
  topRight,
  bottomLeft,
  bottomRight,
  firstThird,
  centerThird,
  lastThird,
  firstTwoThirds,
  lastTwoThirds,
  maximize,
  almostMaximize,
  maximizeHeight,
  maximizeWidth,
  center,
  fillSpace,
  restore,
  nextDisplay,
  previousDisplay,
  moveLeft,
  moveRight,
  moveUp,
  moveDown,
  larger,
  smaller,
};

/// Every action, in case order.
std::span<const SnapAction> allSnapActions();

/// The raw value used in stored and transmitted forms: the case name ("leftHalf").
std::string_view rawValue(SnapAction action);

/// The action of a raw value, or nothing.
std::optional<SnapAction> snapActionFromRawValue(std::string_view raw);

/// The title shown to users ("Left Half").
std::string_view title(SnapAction action);

/// The command-line spelling: a hyphen before each capital, lower-cased ("left-half").
std::string commandLineSpelling(SnapAction action);

/// The place rule: the first action whose case name normalizes equal to the text
/// (folded, trimmed, letters and digits only); else nothing.
std::optional<SnapAction> readSnapAction(std::string_view text);

/// Every place's command-line spelling, joined with ", ".
const std::string& placesList();

}  // namespace kestles
