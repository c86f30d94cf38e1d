#pragma once

#include <optional>
#include <string>

#include "KestlesCore/coding/Date.hpp"

namespace kestles {

/// Why the assistant's model gave no idea. Every failure of a model maps to one of these.
struct AssistantTrouble {
  enum class Kind {
    busy,                 // rate-limited, perhaps until a date
    refused,              // the model declined the request
    unsupportedLanguage,  // the sentence is in a language the model does not support
    tooMuch,              // more than the model can take at once
    timedOut,             // no answer in time
    notReady,             // the model is not available yet
    other,                // anything else
  };

  Kind kind = Kind::other;
  std::optional<Date> until;  // when a busy model takes requests again; only for `busy`

  static AssistantTrouble busy(std::optional<Date> until = std::nullopt) {
    return {Kind::busy, until};
  }
  static AssistantTrouble of(Kind kind) { return {kind, std::nullopt}; }

  /// The sentence shown to the user. A busy model with a date later than now says when to
  /// try again ("in 5 minutes", "tomorrow"); without a date, or with one already past, it
  /// says "in a moment".
  std::string message(Date now) const;

  bool operator==(const AssistantTrouble&) const = default;
};

/// The date relative to now in English words with named days, weeks, months and years:
/// "in 30 seconds", "in 1 minute", "in 3 hours", "tomorrow", "in 2 days", "next week", "in 3
/// weeks", "next month", "in 5 months", "next year", "in 2 years"; "now" for no difference.
/// The largest whole unit wins, so 90 seconds are "in 1 minute". Dates before now read "… ago"
/// or "yesterday", "last week" and so on.
std::string relativeDate(Date date, Date now);

}  // namespace kestles
