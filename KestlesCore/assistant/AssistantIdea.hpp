#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/assistant/AssistantPlace.hpp"

namespace kestles {

/// What the assistant's model made of a sentence: a kestle's name and where each app goes.
struct AssistantIdea {
  struct Window {
    std::string app;             // the app's name as the model wrote it
    std::optional<int> display;  // 1 is the leftmost display; absent when none was named
    AssistantPlace place = AssistantPlace::full;
    bool operator==(const Window&) const = default;
  };

  std::string name;
  std::vector<Window> windows;

  bool operator==(const AssistantIdea&) const = default;
};

/// The structure a model answers in: {"name": string, "windows": [{"app": string,
/// "display": integer (optional), "place": raw value}]}. Reading needs "name" and "windows";
/// a window without an app or with an unknown place is dropped, not the idea.
void to_json(nlohmann::json& json, const AssistantIdea::Window& window);
void from_json(const nlohmann::json& json, AssistantIdea::Window& window);
void to_json(nlohmann::json& json, const AssistantIdea& idea);
void from_json(const nlohmann::json& json, AssistantIdea& idea);

}  // namespace kestles

template <>
struct std::hash<kestles::AssistantIdea::Window> {
  std::size_t operator()(const kestles::AssistantIdea::Window& window) const noexcept;
};

template <>
struct std::hash<kestles::AssistantIdea> {
  std::size_t operator()(const kestles::AssistantIdea& idea) const noexcept;
};
