#pragma once

#include "KestlesCore/assistant/Assistant.hpp"

namespace kestles::assistant_testing {

/// A built-in display on the left and a studio display on its right, listed right first and
/// in use; Firefox, Code and a terminal open (Firefox twice, as two processes); a mail app and
/// a second terminal installed.
inline World world() {
  World world;
  DisplayInfo studio{"STUDIO", "Studio Display", {1512, 0, 2560, 1440}, {1512, 25, 2560, 1415}};
  DisplayInfo builtIn{
      "BUILTIN", "Built-in Retina Display", {0, 0, 1512, 982}, {0, 38, 1512, 944}, true, true};
  world.setup.displays = {studio, builtIn};
  world.activeDisplayID = "STUDIO";
  world.apps = {{101, "org.mozilla.firefox", "Firefox", false},
                {102, "code", "Visual Studio Code", false},
                {103, "org.gnome.Terminal", "GNOME Terminal", false},
                {104, "org.mozilla.firefox", "Firefox", false}};
  return world;
}

inline std::vector<AppRef> installed() {
  return {{"org.mozilla.Thunderbird", "Thunderbird"},
          {"org.mozilla.firefox", "Firefox"},
          {"Alacritty", "Alacritty"}};
}

inline Assistant::Situation situation() {
  return Assistant::Situation::of(world(), installed());
}

}  // namespace kestles::assistant_testing
