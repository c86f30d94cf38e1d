#include "KestlesCore/snap/SnapAction.hpp"

#include "KestlesCore/model/EnumTable.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

struct SnapActionInfo {
  SnapAction value;
  std::string_view raw;
  std::string_view title;
};

constexpr EnumTable kActions{std::to_array<SnapActionInfo>({
    {SnapAction::leftHalf, "leftHalf", "Left Half"},
    {SnapAction::rightHalf, "rightHalf", "Right Half"},
    {SnapAction::topHalf, "topHalf", "Top Half"},
    {SnapAction::bottomHalf, "bottomHalf", "Bottom Half"},
    {SnapAction::topLeft, "topLeft", "Top Left"},
    {SnapAction::topRight, "topRight", "Top Right"},
    {SnapAction::bottomLeft, "bottomLeft", "Bottom Left"},
    {SnapAction::bottomRight, "bottomRight", "Bottom Right"},
    {SnapAction::firstThird, "firstThird", "First Third"},
    {SnapAction::centerThird, "centerThird", "Center Third"},
    {SnapAction::lastThird, "lastThird", "Last Third"},
    {SnapAction::firstTwoThirds, "firstTwoThirds", "First Two Thirds"},
    {SnapAction::lastTwoThirds, "lastTwoThirds", "Last Two Thirds"},
    {SnapAction::maximize, "maximize", "Maximize"},
    {SnapAction::almostMaximize, "almostMaximize", "Almost Maximize"},
    {SnapAction::maximizeHeight, "maximizeHeight", "Maximize Height"},
    {SnapAction::maximizeWidth, "maximizeWidth", "Maximize Width"},
    {SnapAction::center, "center", "Center"},
    {SnapAction::fillSpace, "fillSpace", "Fill Space"},
    {SnapAction::restore, "restore", "Restore"},
    {SnapAction::nextDisplay, "nextDisplay", "Next Display"},
    {SnapAction::previousDisplay, "previousDisplay", "Previous Display"},
    {SnapAction::moveLeft, "moveLeft", "Move Left"},
    {SnapAction::moveRight, "moveRight", "Move Right"},
    {SnapAction::moveUp, "moveUp", "Move Up"},
    {SnapAction::moveDown, "moveDown", "Move Down"},
    {SnapAction::larger, "larger", "Larger"},
    {SnapAction::smaller, "smaller", "Smaller"},
})};

}  // namespace

std::span<const SnapAction> allSnapActions() {
  return kActions.cases();
}

std::string_view rawValue(SnapAction action) {
  return kActions[action].raw;
}

std::optional<SnapAction> snapActionFromRawValue(std::string_view raw) {
  return kActions.find(&SnapActionInfo::raw, raw);
}

std::string_view title(SnapAction action) {
  return kActions[action].title;
}

std::string commandLineSpelling(SnapAction action) {
  std::string spelling;
  for (char c : rawValue(action)) {
    if (c >= 'A' && c <= 'Z') {
      spelling += '-';
      spelling += static_cast<char>(c - 'A' + 'a');
    } else {
      spelling += c;
    }
  }
  return spelling;
}

std::optional<SnapAction> readSnapAction(std::string_view text) {
  auto typed = text::normalized(text);
  if (typed.empty()) return std::nullopt;
  for (auto action : allSnapActions())
    if (text::normalized(rawValue(action)) == typed) return action;
  return std::nullopt;
}

const std::string& placesList() {
  static const std::string list = [] {
    std::string joined;
    for (auto action : allSnapActions()) {
      if (!joined.empty()) joined += ", ";
      joined += commandLineSpelling(action);
    }
    return joined;
  }();
  return list;
}

}  // namespace kestles
