#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "KestlesCore/geometry/CGRect.hpp"

namespace kestles {

/// The whole vocabulary of places the assistant's model may put a window in: regions of a
/// display named by their case.
enum class AssistantPlace {
  full,
  leftHalf,
  rightHalf,
  topHalf,
  bottomHalf,
  topLeft,
  topRight,
  bottomLeft,
  bottomRight,
  leftThird,
  middleThird,
  rightThird,
  leftTwoThirds,
  rightTwoThirds,
  center,
};

/// Every place, in case order.
std::span<const AssistantPlace> allAssistantPlaces();

/// The raw value: the case name ("leftTwoThirds").
std::string_view rawValue(AssistantPlace place);

/// The place of a raw value, or nothing.
std::optional<AssistantPlace> assistantPlaceFromRawValue(std::string_view raw);

/// The region as fractions of a display's visible frame, y down. The centred place keeps a
/// sixth of the display free on every side.
CGRect unitRect(AssistantPlace place);

}  // namespace kestles
