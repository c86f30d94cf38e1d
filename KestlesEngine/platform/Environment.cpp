#include "KestlesEngine/platform/Environment.hpp"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "KestlesCore/library/KestlesPaths.hpp"

namespace kestles::platform {

std::optional<std::string> environment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return std::nullopt;
  return std::string(value);
}

std::filesystem::path socketFolder() {
  if (auto runtime = KestlesPaths::xdgFolder("XDG_RUNTIME_DIR")) return *runtime / "kestles";
  return "/tmp/kestles-" + std::to_string(getuid());
}

std::filesystem::path socketPath() {
  return socketFolder() / "app.sock";
}

std::optional<std::filesystem::path> executablePath() {
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::nullopt;
  return path;
}

std::string logPlaceText(bool inJournal) {
  if (inJournal) return "the journal (journalctl --user -t kestles-app)";
  return KestlesPaths::appLog().string();
}

}  // namespace kestles::platform
