#include "KestlesCore/assistant/AssistantModel.hpp"

namespace kestles {

AssistantRequest AssistantRequest::about(std::string sentence, Assistant::Situation situation) {
  return {std::string(Assistant::instructions()), std::move(situation), std::move(sentence)};
}

}  // namespace kestles
