#include "KestlesApp/WorldCommand.hpp"

#include <nlohmann/json.hpp>

#include "KestlesApp/PlatformCommand.hpp"

namespace kestles::app {

int runWorldCommand(std::span<const std::string_view> arguments, std::ostream& out,
                    std::ostream& err) {
  if (!arguments.empty()) return fail(err, "“world” takes no arguments.");
  auto platform = desktopPlatform(err);
  if (!platform) return 1;
  out << desktopWorld(*platform).encoded().dump(2) << '\n';
  return 0;
}

}  // namespace kestles::app
