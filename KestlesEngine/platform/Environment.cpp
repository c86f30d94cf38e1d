#include "KestlesEngine/platform/Environment.hpp"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace kestles::platform {

std::optional<std::string> environment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return std::nullopt;
  return std::string(value);
}

std::filesystem::path homeFolder() {
  if (auto home = environment("HOME")) return *home;
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr)
    return entry->pw_dir;
  return "/";
}

std::filesystem::path configHome() {
  if (auto config = environment("XDG_CONFIG_HOME")) return *config;
  return homeFolder() / ".config";
}

std::filesystem::path dataHome() {
  if (auto data = environment("XDG_DATA_HOME")) return *data;
  return homeFolder() / ".local" / "share";
}

std::filesystem::path socketFolder() {
  if (auto runtime = environment("XDG_RUNTIME_DIR"))
    return std::filesystem::path(*runtime) / "kestles";
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

}  // namespace kestles::platform
