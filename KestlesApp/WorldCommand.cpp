#include "KestlesApp/WorldCommand.hpp"

#include <nlohmann/json.hpp>

#include "KestlesApp/CommandLog.hpp"
#include "KestlesApp/DesktopSession.hpp"
#include "KestlesCore/library/KestlesPaths.hpp"

namespace kestles::app {

int runWorldCommand(std::span<const std::string_view> arguments, std::ostream& out,
                    std::ostream& err) {
  if (!arguments.empty()) return fail(err, "“world” takes no arguments.");
  auto desktop = DesktopSession::open(err, KestlesPaths::learnedSizes());
  if (!desktop) return 1;
  // Strings are made valid as they are read from other programs; should one slip through,
  // it is printed repaired rather than ending the command.
  out << desktop->world().encoded().dump(2, ' ', false, nlohmann::json::error_handler_t::replace)
      << '\n';
  return 0;
}

}  // namespace kestles::app
