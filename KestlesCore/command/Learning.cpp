#include "KestlesCore/command/Learning.hpp"

#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

/// Spellings are plain ASCII words: case and surrounding space are all that may differ.
std::string spellingKey(std::string_view text) {
  return text::asciiLowercased(text::trimmed(text));
}

constexpr std::array<std::pair<TourPage::Fixed, std::string_view>, 5> kFixedPages{{
    {TourPage::Fixed::welcome, "welcome"},
    {TourPage::Fixed::permission, "permission"},
    {TourPage::Fixed::settings, "settings"},
    {TourPage::Fixed::firstKestle, "first-kestle"},
    {TourPage::Fixed::chapters, "chapters"},
}};

std::string_view spelling(TourPage::Fixed page) {
  for (const auto& [fixed, word] : kFixedPages)
    if (fixed == page) return word;
  return "welcome";
}

}  // namespace

std::string_view spelling(Lesson lesson) {
  switch (lesson) {
    case Lesson::panel:
      return "panel";
    case Lesson::tiling:
      return "tiling";
    case Lesson::snapping:
      return "snapping";
    case Lesson::kestles:
      return "kestles";
    case Lesson::arrangeKeys:
      return "arrange-with-keys";
    case Lesson::windowHints:
      return "window-hints";
    case Lesson::pickWindows:
      return "pick-windows";
    case Lesson::moveToTile:
      return "move-to-tile";
    case Lesson::editTiles:
      return "edit-tiles";
    case Lesson::keepTiled:
      return "keep-tiled";
    case Lesson::assistant:
      return "assistant";
  }
  return "panel";
}

std::optional<Lesson> readLesson(std::string_view text) {
  auto typed = spellingKey(text);
  for (auto lesson : kAllLessons)
    if (spelling(lesson) == typed) return lesson;
  return std::nullopt;
}

std::string spelling(const TourPage& page) {
  if (const auto* lesson = std::get_if<Lesson>(&page.value)) return std::string(spelling(*lesson));
  return std::string(spelling(std::get<TourPage::Fixed>(page.value)));
}

std::optional<TourPage> readTourPage(std::string_view text) {
  auto typed = spellingKey(text);
  if (typed == "accessibility") return TourPage{TourPage::Fixed::permission};
  for (const auto& [fixed, word] : kFixedPages)
    if (word == typed) return TourPage{fixed};
  if (auto lesson = readLesson(typed)) return TourPage{*lesson};
  return std::nullopt;
}

const std::string& tourPagesList() {
  static const std::string list = [] {
    std::string joined = "welcome, permission";
    for (auto lesson : kAllLessons)
      (joined += ", ") += spelling(lesson);
    return joined + ", settings, first-kestle, chapters";
  }();
  return list;
}

std::string_view spelling(Tip tip) {
  switch (tip) {
    case Tip::dragWindow:
      return "drag-window";
    case Tip::tileWindows:
      return "tile-windows";
    case Tip::snapKeys:
      return "snap-keys";
    case Tip::appliedKestle:
      return "applied-kestle";
    case Tip::keepTiled:
      return "keep-tiled";
  }
  return "drag-window";
}

std::optional<Tip> readTip(std::string_view text) {
  auto typed = spellingKey(text);
  for (auto tip : kAllTips)
    if (spelling(tip) == typed) return tip;
  return std::nullopt;
}

}  // namespace kestles
