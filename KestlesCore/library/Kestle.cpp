#include "KestlesCore/library/Kestle.hpp"

#include "KestlesCore/coding/Lossy.hpp"

namespace kestles {

void to_json(nlohmann::json& json, const Kestle& kestle) {
  json = {{"id", kestle.id},
          {"name", kestle.name},
          {"identity", kestle.identity},
          {"opensApps", kestle.opensApps},
          {"arrangements", kestle.arrangements},
          {"created", kestle.created}};
  coding::putOptional(json, "number", kestle.number);
}

void from_json(const nlohmann::json& json, Kestle& kestle) {
  coding::requireObject(json, "a kestle");
  kestle.name = coding::required<std::string>(json, "name");
  auto id = coding::optional<UUID>(json, "id");
  kestle.id = id ? *id : UUID::random();
  kestle.identity = coding::value(json, "identity", Identity{});
  kestle.number = coding::optional<int>(json, "number");
  kestle.opensApps = coding::value(json, "opensApps", true);
  kestle.arrangements = coding::lossyMap<Arrangement>(json, "arrangements");
  auto created = coding::optional<Date>(json, "created");
  kestle.created = created ? *created : Date::now();
}

}  // namespace kestles
