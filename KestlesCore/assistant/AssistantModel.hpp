#pragma once

#include <string>
#include <variant>

#include "KestlesCore/assistant/Assistant.hpp"
#include "KestlesCore/assistant/AssistantIdea.hpp"
#include "KestlesCore/assistant/AssistantTrouble.hpp"

namespace kestles {

/// What a model is asked: its instructions, the situation (as facts, and as the text a
/// language model reads) and the user's sentence.
struct AssistantRequest {
  std::string instructions;
  Assistant::Situation situation;
  std::string sentence;

  /// A request with the standard instructions.
  static AssistantRequest about(std::string sentence, Assistant::Situation situation);
};

/// A model's answer: an idea, or the trouble that kept it from one.
using AssistantAnswer = std::variant<AssistantIdea, AssistantTrouble>;

/// The model that turns a sentence into an idea. The embedded default works offline; other
/// models (a language model server, say) sit behind the same interface.
class AssistantModel {
 public:
  virtual ~AssistantModel() = default;
  /// The idea for the request, or a trouble; never throws.
  virtual AssistantAnswer answer(const AssistantRequest& request) = 0;
};

/// Asks the model within the assistant's limits, whichever model it is: a sentence past them
/// is refused before the model sees it, and an idea past them is refused before it can become
/// a kestle (`Assistant::troubleWith`).
AssistantAnswer ask(AssistantModel& model, const AssistantRequest& request);

}  // namespace kestles
