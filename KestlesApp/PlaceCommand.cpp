#include "KestlesApp/PlaceCommand.hpp"

#include <charconv>
#include <cmath>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "KestlesApp/CommandLog.hpp"
#include "KestlesApp/DesktopSession.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles::app {
namespace {

/// A window id in decimal or with a 0x prefix in hexadecimal, within 32 bits and not 0.
std::optional<std::uint32_t> readWindowID(std::string_view text) {
  int base = 10;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  }
  std::uint32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value == 0)
    return std::nullopt;
  return value;
}

std::optional<double> readNumber(std::string_view text) {
  double value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
      !std::isfinite(value))
    return std::nullopt;
  return value;
}

}  // namespace

int runPlaceCommand(std::span<const std::string_view> arguments, std::ostream& out,
                    std::ostream& err) {
  if (arguments.size() != 5)
    return fail(err, "“place” takes a window and four numbers: WINDOW X Y W H.");
  auto window = readWindowID(arguments[0]);
  if (!window) return fail(err, text::quoted(arguments[0]) + " isn’t a window id.");
  double numbers[4];
  for (std::size_t i = 0; i < 4; ++i) {
    auto number = readNumber(arguments[i + 1]);
    if (!number) return fail(err, text::quoted(arguments[i + 1]) + " isn’t a number.");
    numbers[i] = *number;
  }
  if (numbers[2] <= 0 || numbers[3] <= 0) return fail(err, "The width and height must be above 0.");
  // A one-off move keeps nothing it teaches about the window's size limits.
  auto desktop = DesktopSession::open(err, {});
  if (!desktop) return 1;
  auto landed = desktop->place(*window, {numbers[0], numbers[1], numbers[2], numbers[3]});
  if (!landed) return fail(err, text::quoted(arguments[0]) + " isn’t a window on this desktop.");
  out << nlohmann::json(*landed).dump() << '\n';
  return 0;
}

}  // namespace kestles::app
