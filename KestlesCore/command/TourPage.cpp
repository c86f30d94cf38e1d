#include "KestlesCore/command/TourPage.hpp"

#include <vector>

#include "KestlesCore/model/EnumTable.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

constexpr EnumTable kFixedPages{std::to_array<EnumWord<TourPage::Fixed>>({
    {TourPage::Fixed::welcome, "welcome"},
    {TourPage::Fixed::permission, "permission"},
    {TourPage::Fixed::settings, "settings"},
    {TourPage::Fixed::firstKestle, "first-kestle"},
    {TourPage::Fixed::chapters, "chapters"},
})};

}  // namespace

std::string spelling(const TourPage& page) {
  if (const auto* lesson = std::get_if<Lesson>(&page.value)) return std::string(spelling(*lesson));
  return std::string(kFixedPages[std::get<TourPage::Fixed>(page.value)].word);
}

std::optional<TourPage> readTourPage(std::string_view text) {
  auto typed = text::asciiLowercased(text::trimmed(text));
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

}  // namespace kestles
