#include "KestlesCore/command/Learning.hpp"

#include <vector>

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

constexpr EnumTable kFixedPages{std::to_array<EnumWord<TourPage::Fixed>>({
    {TourPage::Fixed::welcome, "welcome"},
    {TourPage::Fixed::permission, "permission"},
    {TourPage::Fixed::settings, "settings"},
    {TourPage::Fixed::firstKestle, "first-kestle"},
    {TourPage::Fixed::chapters, "chapters"},
})};

constexpr EnumTable kTips{std::to_array<EnumWord<Tip>>({
    {Tip::dragWindow, "drag-window"},
    {Tip::tileWindows, "tile-windows"},
    {Tip::snapKeys, "snap-keys"},
    {Tip::appliedKestle, "applied-kestle"},
    {Tip::keepTiled, "keep-tiled"},
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

std::string spelling(const TourPage& page) {
  if (const auto* lesson = std::get_if<Lesson>(&page.value)) return std::string(spelling(*lesson));
  return std::string(kFixedPages[std::get<TourPage::Fixed>(page.value)].word);
}

std::optional<TourPage> readTourPage(std::string_view text) {
  auto typed = spellingKey(text);
  if (typed == "accessibility") return TourPage{TourPage::Fixed::permission};
  if (auto fixed = kFixedPages.find(&EnumWord<TourPage::Fixed>::word, typed))
    return TourPage{*fixed};
  if (auto lesson = readLesson(typed)) return TourPage{*lesson};
  return std::nullopt;
}

const std::string& tourPagesList() {
  // The welcome's own order: its opening pages, every lesson, then its closing pages.
  static const std::string list = [] {
    using Fixed = TourPage::Fixed;
    std::vector<std::string> words;
    for (auto fixed : {Fixed::welcome, Fixed::permission})
      words.emplace_back(kFixedPages[fixed].word);
    for (auto lesson : allLessons())
      words.emplace_back(spelling(lesson));
    for (auto fixed : {Fixed::settings, Fixed::firstKestle, Fixed::chapters})
      words.emplace_back(kFixedPages[fixed].word);
    return text::joined(words, ", ");
  }();
  return list;
}

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
