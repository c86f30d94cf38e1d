#include "KestlesCore/assistant/AssistantModel.hpp"

namespace kestles {

AssistantRequest AssistantRequest::about(std::string sentence, Assistant::Situation situation) {
  return {std::string(Assistant::instructions()), std::move(situation), std::move(sentence)};
}

AssistantAnswer ask(AssistantModel& model, const AssistantRequest& request) {
  if (auto trouble = Assistant::troubleWith(request.sentence)) return *trouble;
  auto answer = model.answer(request);
  if (const auto* idea = std::get_if<AssistantIdea>(&answer))
    if (auto trouble = Assistant::troubleWith(*idea)) return *trouble;
  return answer;
}

}  // namespace kestles
