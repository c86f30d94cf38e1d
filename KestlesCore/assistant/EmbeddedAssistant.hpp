#pragma once

#include <string_view>

#include "KestlesCore/assistant/AssistantModel.hpp"

namespace kestles {

/// The assistant's default model: reads plain English sentences such as "Firefox on the left
/// half and a terminal on the right" or "mail full screen on display 2" without any network.
/// A sentence is cut into clauses at punctuation and at "and", "then", "with", "plus" and
/// "while"; each clause names one app (a known app's name, a kind of app such as "a
/// terminal", or else its leftover words as typed), a place and perhaps a display.
class EmbeddedAssistant final : public AssistantModel {
 public:
  AssistantAnswer answer(const AssistantRequest& request) override;

  /// The idea for the sentence in the situation: `tooMuch` beyond the sentence or window
  /// limits, `unsupportedLanguage` for a sentence without a Latin letter in which nothing
  /// was found, `other` when no app was found at all.
  static AssistantAnswer read(std::string_view sentence, const Assistant::Situation& situation);
};

}  // namespace kestles
