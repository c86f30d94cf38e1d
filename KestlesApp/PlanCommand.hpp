#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace kestles::app {

/// `plan [--world FILE] [--library FILE] [--state FILE] LINK`: prints, as JSON, what the app
/// would do for the command link without moving anything. The world defaults to the
/// desktop's, the library to the default library file. With `--state` the session state is
/// read from the file (empty when there is none), the windows are taken to be where its
/// earlier commands put them, and the state after the command is printed as "state" and
/// written back, so that the next dry run follows this one. Exit 0 whenever the link
/// decodes; a sentence instead of JSON when the command names nothing or is not covered.
int runPlanCommand(std::span<const std::string_view> arguments, std::ostream& out,
                   std::ostream& err);

}  // namespace kestles::app
