#include "KestlesCore/layout/LearnedSizes.hpp"

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

template <class Map, class Key>
SizeLimits entry(const Map& map, const Key& key) {
  auto found = map.find(key);
  return found == map.end() ? SizeLimits{} : found->second;
}

}  // namespace

SizeLimits LearnedSizes::limits(std::uint32_t window, const std::string& app) const {
  if (auto own = windows.find(window); own != windows.end()) return own->second;
  return entry(apps, text::repairedUTF8(app));
}

std::optional<LearnedSizes::Learned> LearnedSizes::learn(std::uint32_t window,
                                                         const std::string& app, CGSize requested,
                                                         CGSize actual, bool forgetting) {
  auto oldWindow = entry(windows, window);
  auto newWindow = oldWindow.learning(requested, actual, forgetting);
  // Apps are kept under valid keys: a key the file cannot hold would fail every save.
  auto key = text::repairedUTF8(app);
  auto newApp = entry(apps, key).learning(requested, actual, forgetting);
  if (!newWindow && !newApp) return std::nullopt;
  Learned learned;
  if (newWindow) {
    learned.minimumChanged = newWindow->minimum != oldWindow.minimum;
    windows[window] = *newWindow;
  }
  if (newApp) {
    learned.appChanged = true;
    apps[key] = *newApp;
  }
  return learned;
}

void to_json(nlohmann::json& json, const LearnedSizes& sizes) {
  json = nlohmann::json::object();
  for (const auto& [app, limits] : sizes.apps)
    json[text::repairedUTF8(app)] = limits;
}

void from_json(const nlohmann::json& json, LearnedSizes& sizes) {
  if (!json.is_object()) throw coding::DecodeError("Expected an object of learned sizes.");
  LearnedSizes read;
  for (auto item = json.begin(); item != json.end(); ++item)
    if (item.value().is_object()) read.apps[item.key()] = coding::decode<SizeLimits>(item.value());
  sizes = std::move(read);
}

}  // namespace kestles
