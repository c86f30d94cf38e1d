#pragma once

#include <optional>
#include <string_view>

#include "KestlesCore/tiling/Retile.hpp"

namespace kestles {

/// The words that commands' values share on the command line and in links. Readers take
/// the word already lower-cased, each in its own way.

/// The word that sets a switch: "on" or "off".
std::string_view stateWord(bool on);

/// The state a lower-cased word sets, or nothing for any other word.
std::optional<bool> stateOfWord(std::string_view word);

/// The word that turns a step the other way ("rotate back").
inline constexpr std::string_view kBackWord = "back";

/// The word of a flip's axis: "horizontal" or "vertical".
std::string_view flipWord(Retile::Flip axis);

/// The axis a lower-cased word names, or nothing.
std::optional<Retile::Flip> flipOfWord(std::string_view word);

}  // namespace kestles
