#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "KestlesCore/display/DisplayInfo.hpp"
#include "KestlesCore/tiling/Suggestions.hpp"
#include "KestlesCore/world/WindowSnapshot.hpp"

namespace kestles::testing {

/// The displays the suggestion tests are made on; each visible frame leaves room for a
/// menu bar, and the shape each one has is named beside it.
inline DisplayInfo laptopDisplay() {  // laptop
  return {"LAPTOP", "Built-in Retina Display", {0, 0, 1512, 982}, {0, 38, 1512, 944}, true, true};
}
inline DisplayInfo externalDisplay() {  // wide
  return {"STUDIO", "Studio", {1512, 0, 2560, 1440}, {1512, 25, 2560, 1415}, false, false};
}
inline DisplayInfo ultrawideDisplay() {  // ultrawide: 3440 / 1440 ≈ 2.39
  return {"ULTRA", "Ultra", {0, 0, 3440, 1440}, {0, 25, 3440, 1415}, false, false};
}
inline DisplayInfo portraitDisplay() {  // portrait
  return {"TALL", "Tall", {0, 0, 1080, 1920}, {0, 25, 1080, 1895}, false, false};
}

/// Apps by role, as the known-apps table names them.
struct App {
  const char* bundleID;
  const char* name;
};
inline constexpr App kXcode{"com.apple.dt.Xcode", "Xcode"};         // editor, weight 3
inline constexpr App kFigma{"com.figma.Desktop", "Figma"};          // design, 3
inline constexpr App kSafari{"com.apple.Safari", "Safari"};         // browser, 2
inline constexpr App kNotes{"com.apple.Notes", "Notes"};            // notes, 2
inline constexpr App kMail{"com.apple.mail", "Mail"};               // mail, 1
inline constexpr App kTerminal{"com.apple.Terminal", "Terminal"};   // terminal, 0
inline constexpr App kSlack{"com.tinyspeck.slackmacgap", "Slack"};  // chat, 0
inline constexpr App kMusic{"com.apple.Music", "Music"};            // media, −2
inline constexpr App kOther{"org.example.Thing", "Thing"};          // other, 1

/// A window of the app, `z` places from the front, somewhere out of every tile's way.
inline WindowSnapshot windowOf(std::uint32_t id, App app, std::int64_t z,
                               CGRect frame = {100, 100, 300, 200}) {
  WindowSnapshot window;
  window.id = id;
  window.pid = static_cast<std::int32_t>(id);
  window.bundleID = app.bundleID;
  window.appName = app.name;
  window.frame = frame;
  window.zIndex = z;
  return window;
}

/// A board request for the windows with the defaults of a fresh library (grid, 8-point gaps).
inline Suggestions::Request requestFor(DisplayInfo display, std::vector<WindowSnapshot> windows) {
  Suggestions::Request request;
  request.display = std::move(display);
  request.windows = std::move(windows);
  return request;
}

}  // namespace kestles::testing
