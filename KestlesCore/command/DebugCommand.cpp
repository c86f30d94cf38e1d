#include "KestlesCore/command/DebugCommand.hpp"

#include <vector>

#include "KestlesCore/model/EnumTable.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

std::vector<std::string> nonEmptyPieces(std::string_view text) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (start <= text.size()) {
    auto end = text.find('/', start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) pieces.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return pieces;
}

constexpr EnumTable kLooks{std::to_array<EnumWord<Look>>({
    {Look::light, "light"},
    {Look::dark, "dark"},
    {Look::contrast, "contrast"},
    {Look::contrastDark, "contrast-dark"},
    {Look::system, "system"},
})};

std::optional<DebugCommand> readTransparency(std::string_view word) {
  if (word == "solid") return DebugCommand{DebugCommand::Transparency{true}};
  if (word == "glass") return DebugCommand{DebugCommand::Transparency{false}};
  if (word == "system") return DebugCommand{DebugCommand::Transparency{std::nullopt}};
  return std::nullopt;
}

}  // namespace

std::string_view rawValue(Look look) {
  return kLooks[look].word;
}

std::optional<Look> lookFromRawValue(std::string_view raw) {
  return kLooks.find(&EnumWord<Look>::word, raw);
}

std::string debugPath(const DebugCommand& command) {
  return std::visit(
      [](const auto& value) -> std::string {
        using Value = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<Value, DebugCommand::Appearance>) {
          return "appearance/" + std::string(rawValue(value.look));
        } else if constexpr (std::is_same_v<Value, DebugCommand::Transparency>) {
          if (!value.solid) return "transparency/system";
          return *value.solid ? "transparency/solid" : "transparency/glass";
        } else if constexpr (std::is_same_v<Value, DebugCommand::Close>) {
          return "close";
        } else {
          return "toast";
        }
      },
      command.value);
}

std::optional<DebugCommand> readDebugPath(std::string_view path) {
  auto pieces = nonEmptyPieces(text::asciiLowercased(path));
  if (pieces.size() == 1 && pieces[0] == "close") return DebugCommand{DebugCommand::Close{}};
  if (pieces.size() == 1 && pieces[0] == "toast") return DebugCommand{DebugCommand::Toast{}};
  if (pieces.size() != 2) return std::nullopt;
  if (pieces[0] == "appearance") {
    auto look = lookFromRawValue(pieces[1]);
    if (!look) return std::nullopt;
    return DebugCommand{DebugCommand::Appearance{*look}};
  }
  if (pieces[0] == "transparency") return readTransparency(pieces[1]);
  return std::nullopt;
}

}  // namespace kestles
