#include "KestlesApp/RunningAppLink.hpp"

#include <filesystem>

#include "KestlesEngine/platform/Environment.hpp"
#include "KestlesLink/AppDelivery.hpp"

namespace kestles::app {

namespace {

/// The running app's address, with this program to start when none runs.
link::AppAddress runningApp() {
  std::error_code error;
  auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  std::optional<std::filesystem::path> app;
  if (!error) app = self;
  return {platform::socketPath(), app};
}

}  // namespace

std::optional<std::string> deliverToRunningApp(const std::string& line) {
  return link::deliverToApp(line, runningApp());
}

link::AppAnswer askRunningApp(const std::string& line) {
  return link::askApp(line, runningApp());
}

}  // namespace kestles::app
