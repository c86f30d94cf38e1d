#include "KestlesCore/command/KestlesPage.hpp"

#include "KestlesCore/text/Text.hpp"

namespace kestles {

std::string_view name(KestlesPage page) {
  switch (page) {
    case KestlesPage::kestles:
      return "kestles";
    case KestlesPage::layouts:
      return "layouts";
    case KestlesPage::rules:
      return "rules";
    case KestlesPage::tiling:
      return "tiling";
    case KestlesPage::keys:
      return "keys";
    case KestlesPage::general:
      return "general";
  }
  return "kestles";
}

std::optional<KestlesPage> readKestlesPage(std::string_view text) {
  auto typed = text::normalized(text);
  if (typed == "snapping") return KestlesPage::tiling;
  for (auto page : kAllKestlesPages)
    if (name(page) == typed) return page;
  return std::nullopt;
}

}  // namespace kestles
