#include "KestlesCore/command/CommandLink.hpp"

#include <utf8proc.h>

#include <nlohmann/json.hpp>

#include <vector>

#include "KestlesCore/coding/Coding.hpp"
#include "KestlesCore/command/CommandVocabulary.hpp"
#include "KestlesCore/command/CommandWords.hpp"
#include "KestlesCore/command/PlainCommand.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

/// The host of record links; no command has it.
constexpr std::string_view kRecordHost = "record";

bool isUnreserved(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool isValidUTF8(std::string_view text) {
  auto bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
  auto remaining = static_cast<utf8proc_ssize_t>(text.size());
  while (remaining > 0) {
    utf8proc_int32_t point = 0;
    auto used = utf8proc_iterate(bytes, remaining, &point);
    if (used <= 0) return false;
    bytes += used;
    remaining -= used;
  }
  return true;
}

/// The query item of a save that rewrites a kestle rather than adding one.
constexpr std::string_view kUpdateItem = "update";

/// Collects the path and query parts of a link as it is built.
struct LinkWriter {
  std::string host;
  std::string path;
  std::vector<std::string> query;

  LinkWriter& piece(std::string_view value) {
    path += '/';
    path += value;
    return *this;
  }
  LinkWriter& item(std::string_view name, const std::optional<std::string>& value) {
    if (value) query.push_back(std::string(name) + "=" + percentEscaped(*value));
    return *this;
  }
  std::string link() const {
    std::string out(kLinkScheme);
    out.append("://").append(host).append(path);
    if (!query.empty()) out.append("?").append(text::joined(query, "&"));
    return out;
  }
};

/// A writer for the link of a named command.
LinkWriter writerFor(CommandName name) {
  return {std::string(commandWord(name)), {}, {}};
}

/// A step forward as the host alone, a step back with "/back".
LinkWriter backWriter(CommandName name, int step) {
  auto writer = writerFor(name);
  if (step < 0) writer.piece(kBackWord);
  return writer;
}

/// The link of a command named by its host alone.
LinkWriter writePlain(const KestlesCommand& command) {
  return {std::string(plainLinkHost(command).value_or("")), {}, {}};
}

LinkWriter writeRetile(const Retile& retile) {
  return std::visit(
      [&](const auto& value) -> LinkWriter {
        using Value = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<Value, Retile::EvenOut> ||
                      std::is_same_v<Value, Retile::Turn>) {
          return writePlain({KestlesCommand::RetileTiles{retile}});
        } else if constexpr (std::is_same_v<Value, Retile::Rotate>) {
          return backWriter(CommandName::rotate, value.by);
        } else {
          return writerFor(CommandName::flip).piece(flipWord(value.axis));
        }
      },
      retile.value);
}

LinkWriter writeTile(const KestlesCommand::Tile& tile) {
  auto writer = writerFor(CommandName::tile);
  writer.item("display", tile.display);
  if (const auto* named = std::get_if<TileApps::Named>(&tile.apps.value))
    writer.item("app", named->name);
  else if (std::holds_alternative<TileApps::Front>(tile.apps.value))
    writer.query.emplace_back("front-app");
  if (tile.style) writer.query.push_back("style=" + std::string(commandLineWord(*tile.style)));
  return writer;
}

template <class Value>
LinkWriter write(const Value& value) {
  using C = KestlesCommand;
  if constexpr (CarriesNothing<Value>) {
    return writePlain({value});
  } else if constexpr (std::is_same_v<Value, C::Kestle>) {
    return writerFor(CommandName::kestle).piece(percentEscaped(value.name));
  } else if constexpr (std::is_same_v<Value, C::NextKestle>) {
    return writePlain({value});
  } else if constexpr (std::is_same_v<Value, C::Layout>) {
    return writerFor(CommandName::layout)
        .piece(percentEscaped(value.name))
        .item("display", value.display);
  } else if constexpr (std::is_same_v<Value, C::Tile>) {
    return writeTile(value);
  } else if constexpr (std::is_same_v<Value, C::TileAllDisplays>) {
    auto writer = writerFor(CommandName::tile);
    writer.query.emplace_back("all-displays");
    if (value.style) writer.query.push_back("style=" + std::string(commandLineWord(*value.style)));
    return writer;
  } else if constexpr (std::is_same_v<Value, C::SwapDisplays>) {
    return backWriter(CommandName::swapDisplays, value.offset);
  } else if constexpr (std::is_same_v<Value, C::Snap>) {
    return writerFor(CommandName::snap).piece(commandLineSpelling(value.action));
  } else if constexpr (std::is_same_v<Value, C::Focus>) {
    return writerFor(CommandName::focus).piece(linkWord(value.edge));
  } else if constexpr (std::is_same_v<Value, C::Swap>) {
    return writerFor(CommandName::swap).piece(linkWord(value.edge));
  } else if constexpr (std::is_same_v<Value, C::RetileTiles>) {
    return writeRetile(value.retile);
  } else if constexpr (std::is_same_v<Value, C::Gaps>) {
    return writerFor(CommandName::gaps).piece(linkWord(value.change));
  } else if constexpr (std::is_same_v<Value, C::KeepTiled>) {
    auto writer = writerFor(CommandName::keepTiled);
    if (value.on) writer.piece(stateWord(*value.on));
    return writer.item("display", value.display);
  } else if constexpr (std::is_same_v<Value, C::LeaveOut>) {
    auto writer = writerFor(CommandName::leaveOut);
    if (value.on) writer.piece(stateWord(*value.on));
    return writer.item("app", value.app);
  } else if constexpr (std::is_same_v<Value, C::Open>) {
    auto writer = writerFor(CommandName::open);
    if (value.page) writer.piece(name(*value.page));
    return writer;
  } else if constexpr (std::is_same_v<Value, C::Tour>) {
    auto writer = writerFor(CommandName::tour);
    if (value.lesson) writer.piece(spelling(*value.lesson));
    return writer;
  } else if constexpr (std::is_same_v<Value, C::ShowMe>) {
    return writerFor(CommandName::showMe).piece(spelling(value.lesson));
  } else if constexpr (std::is_same_v<Value, C::Welcome>) {
    auto writer = writerFor(CommandName::welcome);
    if (value.page) writer.piece(spelling(*value.page));
    return writer;
  } else if constexpr (std::is_same_v<Value, C::ShowTip>) {
    return writerFor(CommandName::tip).piece(spelling(value.tip));
  } else if constexpr (std::is_same_v<Value, C::Save>) {
    auto writer = writerFor(CommandName::save).piece(percentEscaped(value.name));
    if (value.update) writer.query.emplace_back(kUpdateItem);
    return writer;
  } else {
    static_assert(std::is_same_v<Value, C::Debug>, "every command needs its link form");
    return writerFor(CommandName::debug).piece(debugPath(value.command));
  }
}

// ---- Reading links ----

/// A link taken apart: lower-cased host, decoded path pieces and decoded query items.
struct LinkParts {
  std::string host;
  std::vector<std::string> pieces;
  std::vector<std::pair<std::string, std::optional<std::string>>> items;

  /// The first item of that name: nothing when absent, an empty optional value when bare.
  const std::optional<std::string>* item(std::string_view name) const {
    for (const auto& [itemName, value] : items)
      if (itemName == name) return &value;
    return nullptr;
  }
  bool has(std::string_view name) const { return item(name) != nullptr; }
  std::optional<std::string> value(std::string_view name) const {
    const auto* found = item(name);
    if (found == nullptr) return std::nullopt;
    return found->value_or("");
  }
};

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    auto end = text.find(separator, start);
    if (end == std::string_view::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
}

bool isSchemeCharacter(char c, bool first) {
  bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  if (first) return letter;
  return letter || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

std::optional<std::string_view> readScheme(std::string_view& rest) {
  auto colon = rest.find(':');
  if (colon == std::string_view::npos || colon == 0) return std::nullopt;
  for (std::size_t i = 0; i < colon; ++i)
    if (!isSchemeCharacter(rest[i], i == 0)) return std::nullopt;
  auto scheme = rest.substr(0, colon);
  rest.remove_prefix(colon + 1);
  return scheme;
}

/// The host of "//userinfo@host:port", percent-decoded and lower-cased.
std::optional<std::string> readHost(std::string_view& rest) {
  if (!rest.starts_with("//")) return std::nullopt;
  rest.remove_prefix(2);
  auto end = rest.find_first_of("/?#");
  auto authority = rest.substr(0, end);
  rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
  if (auto at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
  if (auto colon = authority.find(':'); colon != std::string_view::npos)
    authority = authority.substr(0, colon);
  auto host = percentDecoded(authority);
  if (!host || host->empty()) return std::nullopt;
  return text::asciiLowercased(*host);
}

std::optional<LinkParts> readLinkParts(std::string_view link) {
  auto rest = link;
  auto scheme = readScheme(rest);
  if (!scheme || text::asciiLowercased(*scheme) != kLinkScheme) return std::nullopt;
  auto host = readHost(rest);
  if (!host) return std::nullopt;
  LinkParts parts{*host, {}, {}};
  if (auto hash = rest.find('#'); hash != std::string_view::npos) rest = rest.substr(0, hash);
  auto question = rest.find('?');
  auto path = rest.substr(0, question);
  for (auto piece : split(path, '/')) {
    if (piece.empty()) continue;
    auto decoded = percentDecoded(piece);
    if (!decoded) return std::nullopt;
    parts.pieces.push_back(*decoded);
  }
  if (question == std::string_view::npos) return parts;
  for (auto item : split(rest.substr(question + 1), '&')) {
    if (item.empty()) continue;
    auto equals = item.find('=');
    auto itemName = percentDecoded(item.substr(0, equals));
    if (!itemName) return std::nullopt;
    std::optional<std::string> value;
    if (equals != std::string_view::npos) {
      value = percentDecoded(item.substr(equals + 1));
      if (!value) return std::nullopt;
    }
    parts.items.emplace_back(*itemName, value);
  }
  return parts;
}

/// A state word read from the path: `valid` false when the path holds anything else.
struct StateReading {
  bool valid = false;
  std::optional<bool> on;
};

StateReading readState(const std::vector<std::string>& pieces) {
  if (pieces.empty()) return {true, std::nullopt};
  if (pieces.size() > 1) return {};
  auto on = stateOfWord(text::asciiLowercased(pieces[0]));
  if (!on) return {};
  return {true, on};
}

/// No piece gives +1, one piece "back" (any case) gives -1; anything else is not an offset.
/// Written back as no piece or "/back".
std::optional<int> readBackOffset(const std::vector<std::string>& pieces) {
  if (pieces.empty()) return 1;
  if (pieces.size() == 1 && text::asciiLowercased(pieces[0]) == kBackWord) return -1;
  return std::nullopt;
}

/// The style item, when given, must name a style.
std::optional<std::optional<TilingStyle>> readStyleItem(const LinkParts& parts) {
  auto value = parts.value("style");
  if (!value) return std::optional<TilingStyle>{};
  auto style = readTilingStyle(*value);
  if (!style) return std::nullopt;
  return std::optional<TilingStyle>{style};
}

std::optional<KestlesCommand> readTile(const LinkParts& parts) {
  if (!parts.pieces.empty()) return std::nullopt;
  auto style = readStyleItem(parts);
  if (!style) return std::nullopt;
  if (parts.has("all-displays")) return KestlesCommand{KestlesCommand::TileAllDisplays{*style}};
  TileApps apps = TileApps::all();
  if (auto app = parts.value("app"))
    apps = TileApps::named(*app);
  else if (parts.has("front-app"))
    apps = TileApps::front();
  return KestlesCommand{KestlesCommand::Tile{parts.value("display"), apps, *style}};
}

/// The single piece of a command whose path carries one value, read by `reader`.
template <class Reader>
auto readOnePiece(const LinkParts& parts, Reader reader) -> decltype(reader(std::string())) {
  if (parts.pieces.size() != 1) return std::nullopt;
  return reader(parts.pieces[0]);
}

/// An optional single piece: none gives an empty optional, one must be read by `reader`.
template <class Reader>
auto readOptionalPiece(const LinkParts& parts, Reader reader)
    -> std::optional<decltype(reader(std::string()))> {
  if (parts.pieces.empty()) return decltype(reader(std::string())){};
  auto value = readOnePiece(parts, reader);
  if (!value) return std::nullopt;
  return value;
}

template <class Value>
std::optional<KestlesCommand> commandOf(std::optional<Value> value) {
  if (!value) return std::nullopt;
  return KestlesCommand{*value};
}

std::optional<KestlesCommand> readPlain(const LinkParts& parts, const KestlesCommand& command) {
  if (!parts.pieces.empty()) return std::nullopt;
  return command;
}

std::optional<KestlesCommand> readFlip(const LinkParts& parts) {
  return readOnePiece(parts, [](const std::string& piece) -> std::optional<KestlesCommand> {
    auto axis = flipOfWord(text::asciiLowercased(piece));
    if (!axis) return std::nullopt;
    return KestlesCommand{KestlesCommand::RetileTiles{Retile::flip(*axis)}};
  });
}

std::optional<KestlesCommand> readGaps(const LinkParts& parts) {
  return readOnePiece(parts, [](const std::string& piece) -> std::optional<KestlesCommand> {
    auto reading = readGapsChange(piece);
    if (reading.kind != GapsReading::Kind::change) return std::nullopt;
    return KestlesCommand{KestlesCommand::Gaps{reading.change}};
  });
}

std::optional<KestlesCommand> readNamed(const LinkParts& parts, CommandName name) {
  if (parts.pieces.size() != 1) return std::nullopt;
  if (name == CommandName::kestle) return KestlesCommand{KestlesCommand::Kestle{parts.pieces[0]}};
  return KestlesCommand{KestlesCommand::Layout{parts.pieces[0], parts.value("display")}};
}

std::optional<KestlesCommand> readSave(const LinkParts& parts) {
  if (parts.pieces.size() != 1) return std::nullopt;
  return KestlesCommand{KestlesCommand::Save{parts.pieces[0], parts.has(kUpdateItem)}};
}

std::optional<KestlesCommand> readEdgeCommand(const LinkParts& parts, bool focus) {
  auto edge = readOnePiece(parts, readTileEdge);
  if (!edge) return std::nullopt;
  return focus ? KestlesCommand{KestlesCommand::Focus{*edge}}
               : KestlesCommand{KestlesCommand::Swap{*edge}};
}

std::optional<KestlesCommand> readSwitch(const LinkParts& parts, bool keepTiled) {
  auto state = readState(parts.pieces);
  if (!state.valid) return std::nullopt;
  if (keepTiled) return KestlesCommand{KestlesCommand::KeepTiled{state.on, parts.value("display")}};
  return KestlesCommand{KestlesCommand::LeaveOut{state.on, parts.value("app")}};
}

std::optional<KestlesCommand> readLearning(const LinkParts& parts, CommandName name) {
  if (name == CommandName::open) {
    auto page = readOptionalPiece(parts, readKestlesPage);
    return page ? std::optional<KestlesCommand>{KestlesCommand{KestlesCommand::Open{*page}}}
                : std::nullopt;
  }
  if (name == CommandName::tour) {
    auto lesson = readOptionalPiece(parts, readLesson);
    return lesson ? std::optional<KestlesCommand>{KestlesCommand{KestlesCommand::Tour{*lesson}}}
                  : std::nullopt;
  }
  if (name == CommandName::welcome) {
    auto page = readOptionalPiece(parts, readTourPage);
    return page ? std::optional<KestlesCommand>{KestlesCommand{KestlesCommand::Welcome{*page}}}
                : std::nullopt;
  }
  if (name == CommandName::showMe) {
    auto lesson = readOnePiece(parts, readLesson);
    return lesson ? std::optional<KestlesCommand>{KestlesCommand{KestlesCommand::ShowMe{*lesson}}}
                  : std::nullopt;
  }
  auto tip = readOnePiece(parts, readTip);
  return tip ? std::optional<KestlesCommand>{KestlesCommand{KestlesCommand::ShowTip{*tip}}}
             : std::nullopt;
}

std::optional<KestlesCommand> readDebug(const LinkParts& parts) {
  auto command = readDebugPath(text::joined(parts.pieces, "/"));
  if (!command) return std::nullopt;
  return KestlesCommand{KestlesCommand::Debug{*command}};
}

std::optional<KestlesCommand> readParts(const LinkParts& parts) {
  if (const auto* plain = plainCommandWithHost(parts.host)) return readPlain(parts, plain->command);
  auto name = commandNameOfWord(parts.host);
  if (!name) return std::nullopt;
  switch (*name) {
    case CommandName::kestle:
    case CommandName::layout:
      return readNamed(parts, *name);
    case CommandName::tile:
      return readTile(parts);
    case CommandName::swapDisplays: {
      auto offset = readBackOffset(parts.pieces);
      return offset ? std::optional<KestlesCommand>{KestlesCommand{
                          KestlesCommand::SwapDisplays{*offset}}}
                    : std::nullopt;
    }
    case CommandName::snap:
      return commandOf(readOnePiece(parts, [](const std::string& piece) {
        auto action = readSnapAction(piece);
        return action ? std::optional<KestlesCommand::Snap>{KestlesCommand::Snap{*action}}
                      : std::nullopt;
      }));
    case CommandName::focus:
    case CommandName::swap:
      return readEdgeCommand(parts, *name == CommandName::focus);
    case CommandName::rotate: {
      auto offset = readBackOffset(parts.pieces);
      return offset ? std::optional<KestlesCommand>{KestlesCommand{
                          KestlesCommand::RetileTiles{Retile::rotate(*offset)}}}
                    : std::nullopt;
    }
    case CommandName::flip:
      return readFlip(parts);
    case CommandName::gaps:
      return readGaps(parts);
    case CommandName::keepTiled:
    case CommandName::leaveOut:
      return readSwitch(parts, *name == CommandName::keepTiled);
    case CommandName::open:
    case CommandName::tour:
    case CommandName::welcome:
    case CommandName::showMe:
    case CommandName::tip:
      return readLearning(parts, *name);
    case CommandName::save:
      return readSave(parts);
    case CommandName::debug:
      return readDebug(parts);
  }
  return std::nullopt;
}

/// The value of a record link's one item, decoded from its JSON; nothing when the item is
/// missing or is not that value.
template <class Value>
std::optional<Value> readRecordItem(const LinkParts& parts, std::string_view name) {
  auto text = parts.value(name);
  if (!text || parts.items.size() != 1) return std::nullopt;
  auto json = nlohmann::json::parse(*text, nullptr, false);
  if (json.is_discarded()) return std::nullopt;
  try {
    return coding::decode<Value>(json);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace

std::string percentEscaped(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    if (isUnreserved(c)) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    }
  }
  return out;
}

std::optional<std::string> percentDecoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    int high = hexValue(text[i + 1]);
    int low = hexValue(text[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  // A NUL would cut a name or a path short wherever it is handed on as a C string: a file
  // link to "a.kestles%00.x" would import "a.kestles".
  if (!isValidUTF8(out) || out.find('\0') != std::string::npos) return std::nullopt;
  return out;
}

std::string commandLink(const KestlesCommand& command) {
  return std::visit([](const auto& value) { return write(value).link(); }, command.value);
}

std::optional<KestlesCommand> decodeCommandLink(std::string_view link) {
  auto parts = readLinkParts(link);
  if (!parts) return std::nullopt;
  return readParts(*parts);
}

std::string recordLink(const RecordRequest& request) {
  LinkWriter writer{std::string(kRecordHost), {}, {}};
  std::visit(
      [&](const auto& value) {
        using Value = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<Value, RecordRequest::PaletteRecent>)
          writer.piece("palette-recent").item("action", nlohmann::json(value.action).dump());
        else
          writer.piece("kestle").item("kestle", nlohmann::json(value.kestle).dump());
      },
      request.value);
  return writer.link();
}

std::optional<RecordRequest> decodeRecordLink(std::string_view link) {
  auto parts = readLinkParts(link);
  if (!parts || parts->host != kRecordHost || parts->pieces.size() != 1) return std::nullopt;
  auto what = text::asciiLowercased(parts->pieces[0]);
  if (what == "palette-recent") {
    auto action = readRecordItem<PaletteAction>(*parts, "action");
    if (action) return RecordRequest{RecordRequest::PaletteRecent{*action}};
  } else if (what == "kestle") {
    auto kestle = readRecordItem<Kestle>(*parts, "kestle");
    if (kestle) return RecordRequest{RecordRequest::AddKestle{*kestle}};
  }
  return std::nullopt;
}

bool activates(const KestlesCommand& command) {
  using C = KestlesCommand;
  return std::holds_alternative<C::Open>(command.value) ||
         std::holds_alternative<C::Tour>(command.value) ||
         std::holds_alternative<C::ShowMe>(command.value) ||
         std::holds_alternative<C::Welcome>(command.value);
}

}  // namespace kestles
