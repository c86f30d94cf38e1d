#include "KestlesCore/command/KestlesPage.hpp"

#include "KestlesCore/model/EnumTable.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

constexpr EnumTable kPages{std::to_array<EnumWord<KestlesPage>>({
    {KestlesPage::kestles, "kestles"},
    {KestlesPage::layouts, "layouts"},
    {KestlesPage::rules, "rules"},
    {KestlesPage::tiling, "tiling"},
    {KestlesPage::keys, "keys"},
    {KestlesPage::general, "general"},
})};

}  // namespace

std::string_view name(KestlesPage page) {
  return kPages[page].word;
}

std::optional<KestlesPage> readKestlesPage(std::string_view text) {
  auto typed = text::normalized(text);
  if (typed == "snapping") return KestlesPage::tiling;
  return kPages.find(&EnumWord<KestlesPage>::word, typed);
}

}  // namespace kestles
