#include "KestlesCore/layout/LayoutRef.hpp"

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {

std::optional<UUID> LayoutRef::savedID() const {
  if (const auto* saved = std::get_if<Saved>(&value)) return saved->id;
  return std::nullopt;
}

void to_json(nlohmann::json& json, const LayoutRef& ref) {
  if (auto id = ref.savedID())
    json = {{"saved", *id}};
  else
    json = {{"template", std::get<LayoutRef::Template>(ref.value).identifier}};
}

void from_json(const nlohmann::json& json, LayoutRef& ref) {
  coding::requireObject(json, "a layout reference");
  if (auto id = coding::optional<UUID>(json, "saved"))
    ref = LayoutRef::saved(*id);
  else
    ref = LayoutRef::templateLayout(coding::required<std::string>(json, "template"));
}

}  // namespace kestles

std::size_t std::hash<kestles::LayoutRef>::operator()(
    const kestles::LayoutRef& ref) const noexcept {
  if (auto id = ref.savedID()) return std::hash<kestles::UUID>()(*id);
  return std::hash<std::string>()(std::get<kestles::LayoutRef::Template>(ref.value).identifier);
}
