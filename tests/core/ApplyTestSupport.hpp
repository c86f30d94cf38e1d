#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/JSONFile.hpp"
#include "KestlesCore/layout/Template.hpp"
#include "KestlesCore/library/Kestle.hpp"
#include "KestlesCore/world/World.hpp"
#include "LayoutTestSupport.hpp"

/// Small worlds and kestles for the planning tests.
namespace kestles::apply_testing {

using testing::idOf;

inline const std::filesystem::path kWorlds = std::filesystem::path(KESTLES_FIXTURES) / "worlds";

/// A laptop (LAPTOP, main) with a wide display to its right (WIDE); the laptop is active.
/// Code 11 (minimum 500 × 400) and 12 (minimized); Safari 21 on WIDE and 22 on the laptop;
/// Terminal 31 full screen on WIDE and 32; Slack 41 (hidden app); Mail runs without windows.
inline World laptopAndWide() {
  return nlohmann::json::parse(json_style::readFile(kWorlds / "laptop-and-wide.json")).get<World>();
}

inline DisplayInfo laptop() {
  return {"LAPTOP", "Built-in Retina Display", {0, 0, 1512, 982}, {0, 38, 1512, 944}, true, true};
}
inline DisplayInfo wide() {
  return {"WIDE", "Studio Display", {1512, 0, 2560, 1440}, {1512, 25, 2560, 1415}, false, false};
}
inline DisplayInfo portrait() {
  return {"PORTRAIT", "Side Display", {0, 0, 1440, 2560}, {0, 0, 1440, 2560}, false, false};
}
inline DisplayInfo ultrawide() {
  return {"ULTRA", "Ultrawide Display", {1440, 0, 3440, 1440}, {1440, 25, 3440, 1415}, false, true};
}

inline const AppRef kCode{"com.microsoft.VSCode", "Code"};
inline const AppRef kSafari{"com.apple.Safari", "Safari"};
inline const AppRef kTerminal{"com.apple.Terminal", "Terminal"};
inline const AppRef kSlack{"com.tinyspeck.slackmacgap", "Slack"};
inline const AppRef kMail{"com.apple.mail", "Mail"};
inline const AppRef kNotes{"com.apple.Notes", "Notes"};  // never running

inline WindowSnapshot window(std::uint32_t id, const AppRef& app, std::int32_t pid, CGRect frame,
                             std::int64_t zIndex = 0) {
  WindowSnapshot w;
  w.id = id;
  w.pid = pid;
  w.bundleID = app.bundleID;
  w.appName = app.name;
  w.frame = frame;
  w.zIndex = zIndex;
  return w;
}

/// Displays only, with the running apps of the laptop world and no windows.
inline World worldOf(std::vector<DisplayInfo> displays) {
  World world;
  world.setup.displays = std::move(displays);
  world.activeDisplayID = world.setup.displays.front().id;
  world.apps = {{101, kCode.bundleID, "Code", false},
                {102, kSafari.bundleID, "Safari", false},
                {103, kTerminal.bundleID, "Terminal", false},
                {104, kSlack.bundleID, "Slack", true},
                {105, kMail.bundleID, "Mail", false}};
  return world;
}

inline TileShape templateShape(const std::string& id) {
  return Template::withID(id)->shape;
}

inline KestleScreen screen(const DisplayInfo& display, const std::string& templateID,
                           std::vector<std::optional<AppRef>> pins) {
  return {DisplayKind::of(display), templateShape(templateID),
          LayoutRef::templateLayout(templateID), std::move(pins)};
}

/// A kestle with a fixed id and the arrangements given by fingerprint.
inline Kestle kestle(const std::string& name, std::map<std::string, Arrangement> arrangements,
                     int idNumber = 1) {
  Kestle k;
  k.id = idOf(idNumber);
  k.name = name;
  k.arrangements = std::move(arrangements);
  k.created = Date{};
  return k;
}

}  // namespace kestles::apply_testing
