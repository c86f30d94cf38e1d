#include "KestlesCore/command/CommandWords.hpp"

#include "KestlesCore/model/EnumTable.hpp"

namespace kestles {
namespace {

constexpr std::string_view kOn = "on";
constexpr std::string_view kOff = "off";

constexpr EnumTable kFlips{std::to_array<EnumWord<Retile::Flip>>({
    {Retile::Flip::horizontal, "horizontal"},
    {Retile::Flip::vertical, "vertical"},
})};

}  // namespace

std::string_view stateWord(bool on) {
  return on ? kOn : kOff;
}

std::optional<bool> stateOfWord(std::string_view word) {
  if (word == kOn) return true;
  if (word == kOff) return false;
  return std::nullopt;
}

std::string_view flipWord(Retile::Flip axis) {
  return kFlips[axis].word;
}

std::optional<Retile::Flip> flipOfWord(std::string_view word) {
  return kFlips.find(&EnumWord<Retile::Flip>::word, word);
}

}  // namespace kestles
