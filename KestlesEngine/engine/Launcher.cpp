#include "KestlesEngine/engine/Launcher.hpp"

namespace kestles::engine {

std::optional<std::string> Launcher::open(const AppRef& app) {
  auto url = opener_.applicationURL(app.bundleID);
  if (!url) return Failure{app.name}.description();
  return opener_.open(*url, false);
}

}  // namespace kestles::engine
