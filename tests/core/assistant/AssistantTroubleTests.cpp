#include "KestlesCore/assistant/AssistantTrouble.hpp"

#include <gtest/gtest.h>

namespace kestles {
namespace {

using Kind = AssistantTrouble::Kind;

const Date kNow = *Date::fromISO("2026-12-10T17:00:00Z");

Date later(std::int64_t seconds) {
  return Date{kNow.time + std::chrono::seconds(seconds)};
}

TEST(AssistantTrouble, SaysEveryTroubleInOneSentence) {
  struct Row {
    AssistantTrouble trouble;
    const char* message;
  };
  const Row rows[] = {
      {AssistantTrouble::busy(), "The assistant is busy; try again in a moment"},
      {AssistantTrouble::busy(later(-30)), "The assistant is busy; try again in a moment"},
      {AssistantTrouble::busy(kNow), "The assistant is busy; try again in a moment"},
      {AssistantTrouble::busy(later(300)), "The assistant is busy; try again in 5 minutes"},
      {AssistantTrouble::busy(later(86400)), "The assistant is busy; try again tomorrow"},
      {AssistantTrouble::of(Kind::refused), "The assistant can’t help with that"},
      {AssistantTrouble::of(Kind::unsupportedLanguage),
       "The assistant doesn’t speak that language yet"},
      {AssistantTrouble::of(Kind::tooMuch), "That’s too much to arrange at once"},
      {AssistantTrouble::of(Kind::timedOut), "The assistant took too long; try again"},
      {AssistantTrouble::of(Kind::notReady), "The assistant is still getting ready"},
      {AssistantTrouble::of(Kind::other), "Couldn’t arrange that"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(row.trouble.message(kNow), row.message);
}

TEST(AssistantTrouble, WritesDatesRelativeToNowInTheLargestWholeUnit) {
  constexpr std::int64_t kDay = 86400;
  struct Row {
    Date date;
    const char* words;
  };
  const Row rows[] = {
      {kNow, "now"},
      {later(1), "in 1 second"},
      {later(59), "in 59 seconds"},
      {later(90), "in 1 minute"},
      {later(7199), "in 1 hour"},
      {later(3 * 3600), "in 3 hours"},
      {later(kDay + 3600), "tomorrow"},
      {later(3 * kDay), "in 3 days"},
      {later(8 * kDay), "next week"},
      {later(20 * kDay), "in 2 weeks"},
      {later(31 * kDay), "next month"},  // 10 January: a month and a day
      {later(100 * kDay), "in 3 months"},
      {later(400 * kDay), "next year"},
      {later(800 * kDay), "in 2 years"},
      {later(-2 * 3600), "2 hours ago"},
      {later(-kDay), "yesterday"},
      // From 31 January, 1 March is a month and a day later, not two months.
      {*Date::fromISO("2027-03-01T00:00:00Z"), "next month"},
  };
  for (const auto& row : rows) {
    auto now = row.date == *Date::fromISO("2027-03-01T00:00:00Z")
                   ? *Date::fromISO("2027-01-31T00:00:00Z")
                   : kNow;
    EXPECT_EQ(relativeDate(row.date, now), row.words) << row.date.iso();
  }
}

}  // namespace
}  // namespace kestles
