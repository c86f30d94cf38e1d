#include "KestlesCore/assistant/AssistantPlace.hpp"

#include "KestlesCore/model/EnumTable.hpp"

namespace kestles {
namespace {

struct PlaceWords {
  AssistantPlace value;
  std::string_view raw;
  double x, y, width, height;  // the unit rectangle
};

constexpr double kThird = 1.0 / 3, kSixth = 1.0 / 6;

constexpr EnumTable kPlaces{std::to_array<PlaceWords>({
    {AssistantPlace::full, "full", 0, 0, 1, 1},
    {AssistantPlace::leftHalf, "leftHalf", 0, 0, 0.5, 1},
    {AssistantPlace::rightHalf, "rightHalf", 0.5, 0, 0.5, 1},
    {AssistantPlace::topHalf, "topHalf", 0, 0, 1, 0.5},
    {AssistantPlace::bottomHalf, "bottomHalf", 0, 0.5, 1, 0.5},
    {AssistantPlace::topLeft, "topLeft", 0, 0, 0.5, 0.5},
    {AssistantPlace::topRight, "topRight", 0.5, 0, 0.5, 0.5},
    {AssistantPlace::bottomLeft, "bottomLeft", 0, 0.5, 0.5, 0.5},
    {AssistantPlace::bottomRight, "bottomRight", 0.5, 0.5, 0.5, 0.5},
    {AssistantPlace::leftThird, "leftThird", 0, 0, kThird, 1},
    {AssistantPlace::middleThird, "middleThird", kThird, 0, kThird, 1},
    {AssistantPlace::rightThird, "rightThird", 2 * kThird, 0, kThird, 1},
    {AssistantPlace::leftTwoThirds, "leftTwoThirds", 0, 0, 2 * kThird, 1},
    {AssistantPlace::rightTwoThirds, "rightTwoThirds", kThird, 0, 2 * kThird, 1},
    {AssistantPlace::center, "center", kSixth, kSixth, 4 * kSixth, 4 * kSixth},
})};

}  // namespace

std::span<const AssistantPlace> allAssistantPlaces() {
  return kPlaces.cases();
}

std::string_view rawValue(AssistantPlace place) {
  return kPlaces[place].raw;
}

std::optional<AssistantPlace> assistantPlaceFromRawValue(std::string_view raw) {
  return kPlaces.find(&PlaceWords::raw, raw);
}

CGRect unitRect(AssistantPlace place) {
  const auto& row = kPlaces[place];
  return {row.x, row.y, row.width, row.height};
}

}  // namespace kestles
