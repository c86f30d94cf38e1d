#include "KestlesCore/library/Kestle.hpp"

#include "KestlesCore/coding/Lossy.hpp"

namespace kestles {
namespace {

constexpr std::array<std::string_view, 13> kColorRawValues{
    "blue",  "indigo", "purple", "pink", "red",   "orange",  "yellow",
    "green", "mint",   "teal",   "cyan", "brown", "graphite"};

}  // namespace

std::string_view rawValue(KestleColor color) {
  return kColorRawValues[static_cast<std::size_t>(color)];
}

std::optional<KestleColor> kestleColorFromRawValue(std::string_view raw) {
  for (auto color : kAllKestleColors)
    if (rawValue(color) == raw) return color;
  return std::nullopt;
}

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

void to_json(nlohmann::json& json, const KestleScreen& screen) {
  json = {{"display", screen.display}, {"shape", screen.shape}};
  coding::putOptional(json, "layout", screen.layout);
  auto& pins = json["pins"] = nlohmann::json::array();
  for (const auto& pin : screen.pins)
    pins.push_back(pin ? nlohmann::json(*pin) : nullptr);
}

void from_json(const nlohmann::json& json, KestleScreen& screen) {
  coding::requireObject(json, "a screen");
  screen.display = coding::required<DisplayKind>(json, "display");
  screen.shape = coding::required<TileShape>(json, "shape");
  screen.layout = coding::optional<LayoutRef>(json, "layout");
  screen.pins.clear();
  if (const auto* pins = coding::member(json, "pins"); pins && pins->is_array())
    for (const auto& pin : *pins)
      screen.pins.push_back(Lossy<AppRef>::decoded(pin).value);
}

void to_json(nlohmann::json& json, const Arrangement& arrangement) {
  json = {{"screens", arrangement.screens}};
}

void from_json(const nlohmann::json& json, Arrangement& arrangement) {
  coding::requireObject(json, "an arrangement");
  arrangement.screens = coding::lossyList<KestleScreen>(json, "screens");
}

Kestle Kestle::make(std::string name) {
  Kestle kestle;
  kestle.id = UUID::random();
  kestle.name = std::move(name);
  kestle.created = Date::now();
  return kestle;
}

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
