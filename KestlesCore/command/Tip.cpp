#include "KestlesCore/command/Tip.hpp"

#include "KestlesCore/model/EnumTable.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

/// Spellings are plain ASCII words: case and surrounding space are all that may differ.
std::string spellingKey(std::string_view text) {
  return text::asciiLowercased(text::trimmed(text));
}

constexpr EnumTable kTips{std::to_array<EnumWord<Tip>>({
    {Tip::dragWindow, "drag-window"},
    {Tip::tileWindows, "tile-windows"},
    {Tip::snapKeys, "snap-keys"},
    {Tip::appliedKestle, "applied-kestle"},
    {Tip::keepTiled, "keep-tiled"},
})};

}  // namespace

std::span<const Tip> allTips() {
  return kTips.cases();
}

std::string_view spelling(Tip tip) {
  return kTips[tip].word;
}

std::optional<Tip> readTip(std::string_view text) {
  return kTips.find(&EnumWord<Tip>::word, spellingKey(text));
}

}  // namespace kestles
