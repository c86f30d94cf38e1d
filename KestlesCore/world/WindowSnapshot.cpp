#include "KestlesCore/world/WindowSnapshot.hpp"

#include <nlohmann/json.hpp>

namespace kestles {

void to_json(nlohmann::json& json, const WindowSnapshot& window) {
  json = nlohmann::json{{"id", window.id},
                        {"pid", window.pid},
                        {"bundleID", window.bundleID},
                        {"appName", window.appName},
                        {"title", window.title},
                        {"frame", window.frame},
                        {"isMinimized", window.isMinimized},
                        {"isFullScreen", window.isFullScreen},
                        {"minimumSize", window.minimumSize},
                        {"maximumSize", window.maximumSize},
                        {"isResizable", window.isResizable},
                        {"zIndex", window.zIndex}};
}

void from_json(const nlohmann::json& json, WindowSnapshot& window) {
  WindowSnapshot read;
  json.at("frame").get_to(read.frame);
  read.id = json.value("id", std::uint32_t{0});
  read.pid = json.value("pid", std::int32_t{0});
  read.bundleID = json.value("bundleID", std::string());
  read.appName = json.value("appName", read.bundleID);
  read.title = json.value("title", std::string());
  read.isMinimized = json.value("isMinimized", false);
  read.isFullScreen = json.value("isFullScreen", false);
  read.minimumSize = json.value("minimumSize", MinimumSize{});
  read.maximumSize = json.value("maximumSize", MaximumSize{});
  read.isResizable = json.value("isResizable", true);
  read.zIndex = json.value("zIndex", std::int64_t{0});
  window = std::move(read);
}

}  // namespace kestles
