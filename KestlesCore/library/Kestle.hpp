#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/coding/Date.hpp"
#include "KestlesCore/layout/LayoutRef.hpp"
#include "KestlesCore/layout/TileShape.hpp"
#include "KestlesCore/library/DisplayKind.hpp"
#include "KestlesCore/model/UUID.hpp"
#include "KestlesCore/world/AppRef.hpp"

// The records of a kestle: its look (colour and symbol), its screens and arrangements, and
// the kestle itself.
namespace kestles {

/// The colour of a kestle's badge, stored by raw value.
enum class KestleColor {
  blue,
  indigo,
  purple,
  pink,
  red,
  orange,
  yellow,
  green,
  mint,
  teal,
  cyan,
  brown,
  graphite
};

inline constexpr std::array<KestleColor, 13> kAllKestleColors{
    KestleColor::blue,    KestleColor::indigo, KestleColor::purple, KestleColor::pink,
    KestleColor::red,     KestleColor::orange, KestleColor::yellow, KestleColor::green,
    KestleColor::mint,    KestleColor::teal,   KestleColor::cyan,   KestleColor::brown,
    KestleColor::graphite};

/// The raw value stored in files ("blue").
std::string_view rawValue(KestleColor color);

/// The colour of a raw value, or nothing.
std::optional<KestleColor> kestleColorFromRawValue(std::string_view raw);

/// A kestle's symbol: a system symbol by name or an emoji. JSON: {"sf": name} or
/// {"emoji": text}; "emoji" wins when both are present.
struct KestleSymbol {
  enum class Kind { sf, emoji };
  Kind kind = Kind::sf;
  std::string text = "macwindow";

  static KestleSymbol sf(std::string name) { return {Kind::sf, std::move(name)}; }
  static KestleSymbol emoji(std::string text) { return {Kind::emoji, std::move(text)}; }

  bool operator==(const KestleSymbol&) const = default;
};

void to_json(nlohmann::json& json, const KestleSymbol& symbol);
/// Reads "emoji", else "sf", else `sf("macwindow")`; never fails on an object.
void from_json(const nlohmann::json& json, KestleSymbol& symbol);

/// How a kestle looks in lists: its colour and symbol. An unreadable colour decodes as
/// blue and an unreadable symbol as `sf("macwindow")`.
struct Identity {
  KestleColor color = KestleColor::blue;
  KestleSymbol symbol;

  bool operator==(const Identity&) const = default;
};

void to_json(nlohmann::json& json, const Identity& identity);
void from_json(const nlohmann::json& json, Identity& identity);

/// One display's part of an arrangement: its tiles and the app pinned to each tile.
/// JSON keys "display" and "shape" (required), "layout" and "pins" (optional).
struct KestleScreen {
  DisplayKind display;
  TileShape shape;
  std::optional<LayoutRef> layout;
  /// One entry per tile in tile order; a null or damaged entry is an empty pin that keeps
  /// the positions of the others.
  std::vector<std::optional<AppRef>> pins;

  bool operator==(const KestleScreen&) const = default;
};

void to_json(nlohmann::json& json, const KestleScreen& screen);
void from_json(const nlohmann::json& json, KestleScreen& screen);

/// A kestle's screens for one set of connected displays. JSON: {"screens": lossy list}.
struct Arrangement {
  std::vector<KestleScreen> screens;

  bool operator==(const Arrangement&) const = default;
};

void to_json(nlohmann::json& json, const Arrangement& arrangement);
void from_json(const nlohmann::json& json, Arrangement& arrangement);

/// A named set of apps and the tiles they sit in, one arrangement per display set. A
/// default kestle has the nil id and the zero date; `make` gives a new one its own.
struct Kestle {
  UUID id;
  std::string name;
  Identity identity;
  std::optional<int> number;  // 1 to 9 gives the kestle a digit key
  bool opensApps = true;      // applying it launches apps that are not running
  std::map<std::string, Arrangement> arrangements;  // by display-set fingerprint
  Date created;

  /// A new kestle with the name, a fresh random id and now as its date.
  static Kestle make(std::string name);

  bool operator==(const Kestle&) const = default;
};

void to_json(nlohmann::json& json, const Kestle& kestle);
/// Only "name" is required; a missing id is a fresh one and a missing date is now.
void from_json(const nlohmann::json& json, Kestle& kestle);

}  // namespace kestles
