#include "KestlesCore/command/Lesson.hpp"

#include "KestlesCore/model/EnumTable.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

/// Spellings are plain ASCII words: case and surrounding space are all that may differ.
std::string spellingKey(std::string_view text) {
  return text::asciiLowercased(text::trimmed(text));
}

constexpr EnumTable kLessons{std::to_array<EnumWord<Lesson>>({
    {Lesson::panel, "panel"},
    {Lesson::tiling, "tiling"},
    {Lesson::snapping, "snapping"},
    {Lesson::kestles, "kestles"},
    {Lesson::arrangeKeys, "arrange-with-keys"},
    {Lesson::windowHints, "window-hints"},
    {Lesson::pickWindows, "pick-windows"},
    {Lesson::moveToTile, "move-to-tile"},
    {Lesson::editTiles, "edit-tiles"},
    {Lesson::keepTiled, "keep-tiled"},
    {Lesson::assistant, "assistant"},
})};

}  // namespace

std::span<const Lesson> allLessons() {
  return kLessons.cases();
}

std::string_view spelling(Lesson lesson) {
  return kLessons[lesson].word;
}

std::optional<Lesson> readLesson(std::string_view text) {
  return kLessons.find(&EnumWord<Lesson>::word, spellingKey(text));
}

}  // namespace kestles
