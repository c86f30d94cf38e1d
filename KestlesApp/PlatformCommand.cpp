#include "KestlesApp/PlatformCommand.hpp"

namespace kestles::app {

int fail(std::ostream& err, std::string_view sentence) {
  err << "kestles-app: " << sentence << '\n';
  return 1;
}

std::optional<platform::Platform> desktopPlatform(std::ostream& err) {
  auto choice = choosePlatform();
  if (!choice.platform) {
    fail(err, choice.error);
    return std::nullopt;
  }
  if (choice.platform->kind == platform::PlatformKind::none) {
    fail(err, noDesktopMessage());
    return std::nullopt;
  }
  return std::move(choice.platform);
}

WorldFile desktopWorld(const platform::Platform& platform) {
  WorldFile file;
  auto list = platform.windows().windows();
  file.focusedWindow = list.focusedWindow;
  file.world = platform::worldOf({platform.displays().displays()}, std::move(list));
  file.installedApps = platform.installedApps().installedApps();
  return file;
}

}  // namespace kestles::app
