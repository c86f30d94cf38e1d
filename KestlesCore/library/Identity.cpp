#include "KestlesCore/library/Identity.hpp"

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {

void to_json(nlohmann::json& json, const Identity& identity) {
  json = {{"color", rawValue(identity.color)}, {"symbol", identity.symbol}};
}

void from_json(const nlohmann::json& json, Identity& identity) {
  coding::requireObject(json, "an identity");
  auto color = coding::optional<std::string>(json, "color");
  identity.color =
      color ? kestleColorFromRawValue(*color).value_or(KestleColor::blue) : KestleColor::blue;
  identity.symbol = coding::value<KestleSymbol>(json, "symbol", KestleSymbol{});
}

}  // namespace kestles
