#include "KestlesCore/library/KestleSymbol.hpp"

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {

void to_json(nlohmann::json& json, const KestleSymbol& symbol) {
  json = {{symbol.kind == KestleSymbol::Kind::emoji ? "emoji" : "sf", symbol.text}};
}

void from_json(const nlohmann::json& json, KestleSymbol& symbol) {
  coding::requireObject(json, "a symbol");
  if (auto emoji = coding::optional<std::string>(json, "emoji"))
    symbol = KestleSymbol::emoji(std::move(*emoji));
  else if (auto name = coding::optional<std::string>(json, "sf"))
    symbol = KestleSymbol::sf(std::move(*name));
  else
    symbol = KestleSymbol{};
}

}  // namespace kestles
