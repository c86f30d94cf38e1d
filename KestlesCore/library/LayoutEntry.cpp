#include "KestlesCore/library/LayoutEntry.hpp"

namespace kestles {

const TileShape& LayoutEntry::shape() const {
  return std::visit([](const auto& layout) -> const TileShape& { return layout.shape; }, value);
}

const std::string& LayoutEntry::name() const {
  return std::visit([](const auto& layout) -> const std::string& { return layout.name; }, value);
}

LayoutRef LayoutEntry::reference() const {
  if (const auto* saved = std::get_if<SavedLayout>(&value)) return LayoutRef::saved(saved->id);
  return LayoutRef::templateLayout(std::get<Template>(value).id);
}

}  // namespace kestles
