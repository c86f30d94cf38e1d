#pragma once

#include <optional>
#include <ostream>
#include <string_view>

#include "KestlesCore/world/WorldFile.hpp"
#include "KestlesEngine/PlatformChoice.hpp"

namespace kestles::app {

/// Prints "kestles-app: " and the sentence on `err`; returns the failure status 1.
int fail(std::ostream& err, std::string_view sentence);

/// The platform of a command that needs a desktop; nothing (and the reason printed on
/// `err`) when there is none.
std::optional<platform::Platform> desktopPlatform(std::ostream& err);

/// What the desktop shows now, in the world file's form.
WorldFile desktopWorld(const platform::Platform& platform);

}  // namespace kestles::app
