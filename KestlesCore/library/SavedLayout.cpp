#include "KestlesCore/library/SavedLayout.hpp"

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {

SavedLayout SavedLayout::make(std::string name, TileShape shape) {
  SavedLayout layout;
  layout.id = UUID::random();
  layout.name = std::move(name);
  layout.shape = std::move(shape);
  layout.created = Date::now();
  return layout;
}

void to_json(nlohmann::json& json, const SavedLayout& layout) {
  json = {{"id", layout.id},
          {"name", layout.name},
          {"shape", layout.shape},
          {"created", layout.created}};
  coding::putOptional(json, "display", layout.display);
  coding::putOptional(json, "number", layout.number);
}

void from_json(const nlohmann::json& json, SavedLayout& layout) {
  coding::requireObject(json, "a saved layout");
  layout.name = coding::required<std::string>(json, "name");
  layout.shape = coding::required<TileShape>(json, "shape");
  auto id = coding::optional<UUID>(json, "id");
  layout.id = id ? *id : UUID::random();
  layout.display = coding::optional<DisplayKind>(json, "display");
  layout.number = coding::optional<int>(json, "number");
  auto created = coding::optional<Date>(json, "created");
  layout.created = created ? *created : Date::now();
}

}  // namespace kestles
