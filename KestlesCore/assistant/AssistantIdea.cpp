#include "KestlesCore/assistant/AssistantIdea.hpp"

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Lossy.hpp"
#include "KestlesCore/model/Hashing.hpp"

namespace kestles {

void to_json(nlohmann::json& json, const AssistantIdea::Window& window) {
  json = {{"app", window.app}, {"place", rawValue(window.place)}};
  coding::putOptional(json, "display", window.display);
}

void from_json(const nlohmann::json& json, AssistantIdea::Window& window) {
  coding::requireObject(json, "window");
  window.app = coding::required<std::string>(json, "app");
  window.display = coding::nullable<int>(json, "display");
  auto place = assistantPlaceFromRawValue(coding::required<std::string>(json, "place"));
  if (!place) throw coding::DecodeError("unknown place");
  window.place = *place;
}

void to_json(nlohmann::json& json, const AssistantIdea& idea) {
  json = {{"name", idea.name}, {"windows", idea.windows}};
}

void from_json(const nlohmann::json& json, AssistantIdea& idea) {
  coding::requireObject(json, "idea");
  idea.name = coding::required<std::string>(json, "name");
  if (!coding::member(json, "windows")) throw coding::DecodeError("missing key \"windows\"");
  idea.windows = coding::lossyList<AssistantIdea::Window>(json, "windows");
}

}  // namespace kestles

std::size_t std::hash<kestles::AssistantIdea::Window>::operator()(
    const kestles::AssistantIdea::Window& window) const noexcept {
  std::size_t seed = std::hash<std::string>{}(window.app);
  kestles::hashCombine(seed, kestles::optionalHash(window.display));
  kestles::hashCombine(seed, static_cast<std::size_t>(window.place));
  return seed;
}

std::size_t std::hash<kestles::AssistantIdea>::operator()(
    const kestles::AssistantIdea& idea) const noexcept {
  std::size_t seed = std::hash<std::string>{}(idea.name);
  for (const auto& window : idea.windows)
    kestles::hashCombine(seed, std::hash<kestles::AssistantIdea::Window>{}(window));
  return seed;
}
