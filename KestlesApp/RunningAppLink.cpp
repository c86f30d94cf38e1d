#include "KestlesApp/RunningAppLink.hpp"

#include <filesystem>

#include "KestlesEngine/platform/Environment.hpp"
#include "KestlesLink/AppDelivery.hpp"

namespace kestles::app {

std::optional<std::string> deliverToRunningApp(const std::string& line) {
  std::error_code error;
  auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  std::optional<std::filesystem::path> app;
  if (!error) app = self;
  return link::deliverToApp(line, {platform::socketPath(), app});
}

}  // namespace kestles::app
