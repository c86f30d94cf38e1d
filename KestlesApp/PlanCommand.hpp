#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace kestles::app {

/// `plan [--world FILE] [--library FILE] [--state FILE] LINK [--keys KEYS]`: prints, as JSON,
/// what the app would do for the command link without moving anything; a keyboard mode's link
/// types the keys named in KEYS in its mode. `plan --help` prints the usage. The world defaults to
/// the desktop's, the library to the default library file. With `--state` the session state is read
/// from the file (empty when there is none), the windows are taken to be where its earlier commands
/// put them, and the state after the command is printed as "state" and written back, so that the
/// next dry run follows this one. Exit 0 whenever the link decodes; a sentence instead of JSON when
/// the command names nothing, cannot be carried out or only shows the app's own windows.
int runPlanCommand(std::span<const std::string_view> arguments, std::ostream& out,
                   std::ostream& err);

}  // namespace kestles::app
