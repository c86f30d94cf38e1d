#include "KestlesCore/palette/PaletteAction.hpp"

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"
#include "KestlesCore/model/EnumTable.hpp"

namespace kestles {
namespace {

using coding::DecodeError;
using coding::json;
using Plain = PaletteAction::Plain;

constexpr EnumTable kPlainNames{std::to_array<EnumWord<Plain>>({
    {Plain::toggleFullScreen, "toggleFullScreen"},
    {Plain::tileWindows, "tileWindows"},
    {Plain::tileAppWindows, "tileAppWindows"},
    {Plain::tileAllDisplays, "tileAllDisplays"},
    {Plain::makeMain, "makeMain"},
    {Plain::tileOrFloat, "tileOrFloat"},
    {Plain::windowHints, "windowHints"},
    {Plain::moveToTile, "moveToTile"},
    {Plain::pickWindows, "pickWindows"},
    {Plain::editTiles, "editTiles"},
    {Plain::arrangeWithKeys, "arrangeWithKeys"},
    {Plain::keepTiled, "keepTiled"},
    {Plain::saveLayout, "saveLayout"},
    {Plain::saveKestle, "saveKestle"},
    {Plain::updateKestle, "updateKestle"},
    {Plain::stopUsingKestle, "stopUsingKestle"},
    {Plain::undo, "undo"},
    {Plain::redo, "redo"},
    {Plain::allowAccessibility, "allowAccessibility"},
    {Plain::takeSystemKeys, "takeSystemKeys"},
    {Plain::showTipsAgain, "showTipsAgain"},
    {Plain::importLibrary, "importLibrary"},
    {Plain::exportLibrary, "exportLibrary"},
    {Plain::checkForUpdates, "checkForUpdates"},
    {Plain::quit, "quit"},
    {Plain::openKestles, "openKestles"},
    {Plain::tour, "tour"},
})};

// Payloads: records through their own coding, enums by their raw value.
template <class T>
json payload(const T& value) {
  return value;
}
json payload(SnapAction action) {
  return rawValue(action);
}
json payload(TilingStyle style) {
  return rawValue(style);
}
json payload(TileEdge edge) {
  return rawValue(edge);
}
json payload(KestlesPage page) {
  return name(page);
}
json payload(Lesson lesson) {
  return spelling(lesson);
}

template <class Enum, class Read>
Enum enumPayload(const json& value, Read read) {
  auto found = read(coding::decode<std::string>(value));
  if (!found) throw DecodeError("unknown payload " + value.dump());
  return *found;
}

template <class T>
T fromPayload(const json& value) {
  if constexpr (std::is_same_v<T, SnapAction>)
    return enumPayload<T>(value, snapActionFromRawValue);
  else if constexpr (std::is_same_v<T, TilingStyle>)
    return enumPayload<T>(value, tilingStyleFromRawValue);
  else if constexpr (std::is_same_v<T, TileEdge>)
    return enumPayload<T>(value, tileEdgeFromRawValue);
  else if constexpr (std::is_same_v<T, KestlesPage>)
    return enumPayload<T>(value, [](std::string_view raw) {
      auto page = readKestlesPage(raw);
      return page && name(*page) == raw ? page : std::nullopt;
    });
  else if constexpr (std::is_same_v<T, Lesson>)
    return enumPayload<T>(value, [](std::string_view raw) {
      auto lesson = readLesson(raw);
      return lesson && spelling(*lesson) == raw ? lesson : std::nullopt;
    });
  else
    try {
      return coding::decode<T>(value);
    } catch (const DecodeError&) {
      throw;
    } catch (const std::exception& failure) {
      // Some payloads' own readers throw the standard errors; one kind of error leaves here.
      throw DecodeError(failure.what());
    }
}

template <std::size_t Index = 1>
PaletteAction caseNamed(std::string_view key, const json& body) {
  using Variant = decltype(PaletteAction::value);
  if constexpr (Index == std::variant_size_v<Variant>) {
    throw DecodeError("Unknown palette action “" + std::string(key) + "”.");
  } else {
    using Case = std::variant_alternative_t<Index, Variant>;
    if (key != Case::kName) return caseNamed<Index + 1>(key, body);
    return {Case{fromPayload<decltype(Case::value)>(coding::required<json>(body, "_0"))}};
  }
}

}  // namespace

bool PaletteAction::isRecordable() const {
  if (std::holds_alternative<History>(value) || std::holds_alternative<Ask>(value) ||
      std::holds_alternative<Window>(value))
    return false;
  auto* plain = std::get_if<Plain>(&value);
  return !plain || (*plain != Plain::undo && *plain != Plain::redo);
}

std::string_view PaletteAction::caseName() const {
  return std::visit(
      [](const auto& action) -> std::string_view {
        using Action = std::decay_t<decltype(action)>;
        if constexpr (std::is_same_v<Action, Plain>)
          return kPlainNames[action].word;
        else
          return Action::kName;
      },
      value);
}

void to_json(json& out, const PaletteAction& action) {
  json body = json::object();
  std::visit(
      [&](const auto& payloadCase) {
        if constexpr (!std::is_same_v<std::decay_t<decltype(payloadCase)>, Plain>)
          body["_0"] = payload(payloadCase.value);
      },
      action.value);
  out = json{{std::string(action.caseName()), std::move(body)}};
}

void from_json(const json& in, PaletteAction& action) {
  if (!in.is_object() || in.size() != 1)
    throw DecodeError("Invalid number of keys found, expected one.");
  const std::string& key = in.begin().key();
  if (auto plain = kPlainNames.find(&EnumWord<Plain>::word, key)) {
    action = {*plain};
    return;
  }
  coding::requireObject(in.begin().value(), "palette action");
  action = caseNamed(key, in.begin().value());
}

}  // namespace kestles
