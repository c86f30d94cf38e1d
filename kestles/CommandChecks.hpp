#pragma once

#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "KestlesCore/command/KestlesCommand.hpp"
#include "KestlesCore/display/DisplayInfo.hpp"
#include "KestlesCore/library/Library.hpp"
#include "KestlesCore/world/AppRef.hpp"
#include "KestlesCore/world/AppSnapshot.hpp"
#include "kestles/CLIRequest.hpp"

namespace kestles::tool {

/// Where the checks read what they compare names with. Each source is asked only when a
/// command needs it, so that most commands read neither the library nor the desktop.
struct CheckSources {
  /// The library, or the sentence that says why it can't be read.
  std::function<Outcome<Library>()> library;
  std::function<std::vector<DisplayInfo>()> displays;
  std::function<std::vector<AppSnapshot>()> openApps;
  std::function<std::vector<AppRef>()> installedApps;
  std::function<bool()> debugLinksOn;
};

/// Looks a command's names up the way the app will (the core's name lookups), so that a bad
/// name fails in the terminal; nothing when the command may be sent as typed.
std::optional<Failure> checkCommand(const KestlesCommand& command, const CheckSources& sources);

}  // namespace kestles::tool
