#include "KestlesCore/snap/SnapAction.hpp"

#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

struct SnapActionInfo {
  std::string_view raw;
  std::string_view title;
};

constexpr std::array<SnapActionInfo, kSnapActionCount> kInfo{{
    {"leftHalf", "Left Half"},
    {"rightHalf", "Right Half"},
    {"topHalf", "Top Half"},
    {"bottomHalf", "Bottom Half"},
    {"topLeft", "Top Left"},
    {"topRight", "Top Right"},
    {"bottomLeft", "Bottom Left"},
    {"bottomRight", "Bottom Right"},
    {"firstThird", "First Third"},
    {"centerThird", "Center Third"},
    {"lastThird", "Last Third"},
    {"firstTwoThirds", "First Two Thirds"},
    {"lastTwoThirds", "Last Two Thirds"},
    {"maximize", "Maximize"},
    {"almostMaximize", "Almost Maximize"},
    {"maximizeHeight", "Maximize Height"},
    {"maximizeWidth", "Maximize Width"},
    {"center", "Center"},
    {"fillSpace", "Fill Space"},
    {"restore", "Restore"},
    {"nextDisplay", "Next Display"},
    {"previousDisplay", "Previous Display"},
    {"moveLeft", "Move Left"},
    {"moveRight", "Move Right"},
    {"moveUp", "Move Up"},
    {"moveDown", "Move Down"},
    {"larger", "Larger"},
    {"smaller", "Smaller"},
}};

const SnapActionInfo& info(SnapAction action) {
  return kInfo[static_cast<std::size_t>(action)];
}

}  // namespace

const std::array<SnapAction, kSnapActionCount>& allSnapActions() {
  static const auto actions = [] {
    std::array<SnapAction, kSnapActionCount> all{};
    for (std::size_t i = 0; i < kSnapActionCount; ++i)
      all[i] = static_cast<SnapAction>(i);
    return all;
  }();
  return actions;
}

std::string_view rawValue(SnapAction action) {
  return info(action).raw;
}

std::optional<SnapAction> snapActionFromRawValue(std::string_view raw) {
  for (auto action : allSnapActions())
    if (rawValue(action) == raw) return action;
  return std::nullopt;
}

std::string_view title(SnapAction action) {
  return info(action).title;
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
