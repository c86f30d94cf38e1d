#include "KestlesCore/tiling/Retile.hpp"

#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {
namespace {

/// The case names of the keyed JSON form, in the order of the cases.
constexpr std::string_view kEvenOutKey = "evenOut", kRotateKey = "rotate", kFlipKey = "flip",
                           kTurnKey = "turn";

}  // namespace

std::string_view rawValue(Retile::Flip flip) {
  return flip == Retile::Flip::horizontal ? "horizontal" : "vertical";
}

std::optional<Retile::Flip> retileFlipFromRawValue(std::string_view raw) {
  for (auto flip : kAllRetileFlips)
    if (rawValue(flip) == raw) return flip;
  return std::nullopt;
}

std::string_view description(const Retile& retile) {
  return std::visit(
      [](const auto& step) -> std::string_view {
        using Step = std::decay_t<decltype(step)>;
        if constexpr (std::is_same_v<Step, Retile::Rotate>)
          return step.by >= 0 ? "Every window moves on to the next tile."
                              : "Every window moves back to the tile before.";
        else if constexpr (std::is_same_v<Step, Retile::FlipTiles>)
          return step.axis == Retile::Flip::horizontal
                     ? "Mirrors the tiles left to right, windows and all."
                     : "Mirrors the tiles top to bottom, windows and all.";
        else if constexpr (std::is_same_v<Step, Retile::Turn>)
          return "The tiles around the window you’re in stack up if they’re side by side, and "
                 "go side by side if they’re stacked.";
        else
          return "Puts the dividers back to equal shares.";
      },
      retile.value);
}

std::vector<std::string_view> searchWords(const Retile& retile) {
  return std::visit(
      [](const auto& step) -> std::vector<std::string_view> {
        using Step = std::decay_t<decltype(step)>;
        if constexpr (std::is_same_v<Step, Retile::Rotate>)
          return {"Cycle Windows", "Tiles"};
        else if constexpr (std::is_same_v<Step, Retile::FlipTiles>)
          return {"Mirror Tiles"};
        else if constexpr (std::is_same_v<Step, Retile::Turn>)
          return {"Toggle Split", "Stack", "Side by Side", "Rows", "Columns"};
        else
          return {"Balance Tiles", "Equal", "Reset Dividers"};
      },
      retile.value);
}

void to_json(nlohmann::json& json, const Retile& retile) {
  std::visit(
      [&](const auto& step) {
        using Step = std::decay_t<decltype(step)>;
        if constexpr (std::is_same_v<Step, Retile::Rotate>)
          json = {{kRotateKey, {{"_0", step.by}}}};
        else if constexpr (std::is_same_v<Step, Retile::FlipTiles>)
          json = {{kFlipKey, {{"_0", std::string(rawValue(step.axis))}}}};
        else if constexpr (std::is_same_v<Step, Retile::Turn>)
          json = {{kTurnKey, nlohmann::json::object()}};
        else
          json = {{kEvenOutKey, nlohmann::json::object()}};
      },
      retile.value);
}

void from_json(const nlohmann::json& json, Retile& retile) {
  if (!json.is_object() || json.size() != 1)
    throw std::invalid_argument("Invalid number of keys found, expected one.");
  const std::string& key = json.begin().key();
  const auto& payload = json.begin().value();
  if (key == kEvenOutKey) {
    retile = Retile::evenOut();
  } else if (key == kTurnKey) {
    retile = Retile::turn();
  } else if (key == kRotateKey) {
    retile = Retile::rotate(coding::required<int>(payload, "_0"));
  } else if (key == kFlipKey) {
    auto flip = retileFlipFromRawValue(coding::required<std::string>(payload, "_0"));
    if (!flip) throw std::invalid_argument("Unknown flip.");
    retile = Retile::flip(*flip);
  } else {
    throw std::invalid_argument("Unknown rearrangement “" + key + "”.");
  }
}

}  // namespace kestles
