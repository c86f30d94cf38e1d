#include "KestlesCore/command/KestlesPage.hpp"

#include "KestlesCore/model/EnumTable.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

struct PageWords {
  KestlesPage value;
  std::string_view word;
  KestlesPageGroup group;
};

constexpr EnumTable kPages{std::to_array<PageWords>({
    {KestlesPage::kestles, "kestles", KestlesPageGroup::library},
    {KestlesPage::layouts, "layouts", KestlesPageGroup::library},
    {KestlesPage::rules, "rules", KestlesPageGroup::library},
    {KestlesPage::tiling, "tiling", KestlesPageGroup::settings},
    {KestlesPage::keys, "keys", KestlesPageGroup::settings},
    {KestlesPage::general, "general", KestlesPageGroup::settings},
})};

}  // namespace

KestlesPageGroup group(KestlesPage page) {
  return kPages[page].group;
}

std::string_view name(KestlesPage page) {
  return kPages[page].word;
}

std::optional<KestlesPage> readKestlesPage(std::string_view text) {
  auto typed = text::normalized(text);
  if (typed == "snapping") return KestlesPage::tiling;
  return kPages.find(&PageWords::word, typed);
}

}  // namespace kestles
