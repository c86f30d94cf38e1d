#include "KestlesCore/assistant/AssistantTrouble.hpp"

#include <array>
#include <chrono>
#include <cstdint>

#include "KestlesCore/model/EnumTable.hpp"

namespace kestles {
namespace {

using Kind = AssistantTrouble::Kind;

constexpr EnumTable kMessages{std::to_array<EnumWord<Kind>>({
    {Kind::busy, "The assistant is busy; try again in a moment"},
    {Kind::refused, "The assistant can’t help with that"},
    {Kind::unsupportedLanguage, "The assistant doesn’t speak that language yet"},
    {Kind::tooMuch, "That’s too much to arrange at once"},
    {Kind::timedOut, "The assistant took too long; try again"},
    {Kind::notReady, "The assistant is still getting ready"},
    {Kind::other, "Couldn’t arrange that"},
})};

constexpr std::string_view kBusyUntil = "The assistant is busy; try again ";

struct Unit {
  std::string_view singular;
  std::string_view plural;
  std::string_view nextOne;  // the named form of one unit ahead, when the unit has one
  std::string_view lastOne;  // and behind
};

constexpr Unit kSeconds{"second", "seconds", "", ""}, kMinutes{"minute", "minutes", "", ""},
    kHours{"hour", "hours", "", ""}, kDays{"day", "days", "tomorrow", "yesterday"},
    kWeeks{"week", "weeks", "next week", "last week"},
    kMonths{"month", "months", "next month", "last month"},
    kYears{"year", "years", "next year", "last year"};

/// Whole calendar months from `from` to the later `to`, counted on UTC dates and times.
std::int64_t wholeMonths(std::chrono::sys_seconds from, std::chrono::sys_seconds to) {
  using namespace std::chrono;
  auto fromDay = floor<days>(from), toDay = floor<days>(to);
  year_month_day a{fromDay}, b{toDay};
  auto months = (int(b.year()) - int(a.year())) * 12 +
                (static_cast<int>(unsigned(b.month())) - static_cast<int>(unsigned(a.month())));
  // A month is whole only once the same day and time of day come round again.
  if (unsigned(b.day()) < unsigned(a.day()) || (b.day() == a.day() && to - toDay < from - fromDay))
    --months;
  return months;
}

std::string phrase(std::int64_t count, const Unit& unit, bool ahead) {
  if (count == 1 && !unit.nextOne.empty()) return std::string(ahead ? unit.nextOne : unit.lastOne);
  auto amount = std::to_string(count) + " " + std::string(count == 1 ? unit.singular : unit.plural);
  return ahead ? "in " + amount : amount + " ago";
}

}  // namespace

std::string relativeDate(Date date, Date now) {
  bool ahead = date.time >= now.time;
  auto from = ahead ? now.time : date.time;
  auto to = ahead ? date.time : now.time;
  auto seconds = (to - from).count();
  if (seconds == 0) return "now";
  if (seconds < 60) return phrase(seconds, kSeconds, ahead);
  if (seconds < 3600) return phrase(seconds / 60, kMinutes, ahead);
  if (seconds < 86400) return phrase(seconds / 3600, kHours, ahead);
  auto months = wholeMonths(from, to);
  if (months >= 12) return phrase(months / 12, kYears, ahead);
  if (months >= 1) return phrase(months, kMonths, ahead);
  auto days = seconds / 86400;
  if (days >= 7) return phrase(days / 7, kWeeks, ahead);
  return phrase(days, kDays, ahead);
}

std::string AssistantTrouble::message(Date now) const {
  if (kind == Kind::busy && until && until->time > now.time)
    return std::string(kBusyUntil) + relativeDate(*until, now);
  return std::string(kMessages[kind].word);
}

}  // namespace kestles
