#include "KestlesCore/coding/Date.hpp"

#include <cstdio>

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {
namespace {

using namespace std::chrono;

// Reads a fixed number of decimal digits at `at`, advancing it; nothing if any is missing.
std::optional<int> digits(std::string_view text, std::size_t& at, std::size_t count) {
  if (at + count > text.size()) return std::nullopt;
  int number = 0;
  for (std::size_t i = 0; i < count; ++i) {
    char c = text[at + i];
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + (c - '0');
  }
  at += count;
  return number;
}

bool expect(std::string_view text, std::size_t& at, char c) {
  if (at >= text.size() || text[at] != c) return false;
  ++at;
  return true;
}

// The offset from UTC in seconds at the end of the text, or nothing.
std::optional<int> zoneOffset(std::string_view text, std::size_t at) {
  if (at == text.size() - 1 && (text[at] == 'Z' || text[at] == 'z')) return 0;
  if (at >= text.size() || (text[at] != '+' && text[at] != '-')) return std::nullopt;
  int sign = text[at] == '-' ? -1 : 1;
  ++at;
  auto hours = digits(text, at, 2);
  if (at < text.size() && text[at] == ':') ++at;
  auto minutes = digits(text, at, 2);
  if (!hours || !minutes || *hours > 23 || *minutes > 59 || at != text.size()) return std::nullopt;
  return sign * (*hours * 3600 + *minutes * 60);
}

}  // namespace

Date Date::now() {
  return Date{floor<seconds>(system_clock::now())};
}

std::optional<Date> Date::fromISO(std::string_view text) {
  std::size_t at = 0;
  auto y = digits(text, at, 4);
  if (!y || !expect(text, at, '-')) return std::nullopt;
  auto mo = digits(text, at, 2);
  if (!mo || !expect(text, at, '-')) return std::nullopt;
  auto d = digits(text, at, 2);
  if (!d || !expect(text, at, 'T')) return std::nullopt;
  auto h = digits(text, at, 2);
  if (!h || !expect(text, at, ':')) return std::nullopt;
  auto mi = digits(text, at, 2);
  if (!mi || !expect(text, at, ':')) return std::nullopt;
  auto s = digits(text, at, 2);
  if (!s || *h > 23 || *mi > 59 || *s > 60) return std::nullopt;
  if (expect(text, at, '.')) {
    auto start = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9')
      ++at;
    if (at == start) return std::nullopt;
  }
  auto offset = zoneOffset(text, at);
  year_month_day day{year{*y}, month{static_cast<unsigned>(*mo)},
                     std::chrono::day{static_cast<unsigned>(*d)}};
  if (!offset || !day.ok()) return std::nullopt;
  auto time = sys_days{day} + hours{*h} + minutes{*mi} + seconds{*s} - seconds{*offset};
  // Only years that the four-digit form can write back.
  auto utcYear = year_month_day{floor<days>(time)}.year();
  if (utcYear < year{0} || utcYear > year{9999}) return std::nullopt;
  return Date{time};
}

std::string Date::iso() const {
  auto day = floor<days>(time);
  year_month_day ymd{day};
  hh_mm_ss clock{time - day};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(ymd.year()),
                static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()));
  return text;
}

void to_json(nlohmann::json& json, const Date& date) {
  json = date.iso();
}

void from_json(const nlohmann::json& json, Date& date) {
  auto parsed = Date::fromISO(coding::decode<std::string>(json));
  if (!parsed) throw coding::DecodeError("not an ISO 8601 date");
  date = *parsed;
}

}  // namespace kestles
