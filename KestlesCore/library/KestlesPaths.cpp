#include "KestlesCore/library/KestlesPaths.hpp"

#include <pwd.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <string>

namespace kestles {
namespace {

constexpr std::array<std::string_view, 3> kEarlierVersionItems{"kestles.json", "ledger.json",
                                                               "Snapshots"};

// The first free name in the folder: the name itself, else " 2", " 3"… before the extension.
std::filesystem::path freeName(const std::filesystem::path& folder,
                               const std::filesystem::path& name) {
  auto candidate = folder / name;
  for (int counter = 2; std::filesystem::exists(std::filesystem::symlink_status(candidate));
       ++counter) {
    auto numbered = name.stem().string();
    numbered.append(" ").append(std::to_string(counter)).append(name.extension().string());
    candidate = folder / numbered;
  }
  return candidate;
}

}  // namespace

std::filesystem::path KestlesPaths::homeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir) return user->pw_dir;
  return "/";
}

std::optional<std::filesystem::path> KestlesPaths::xdgFolder(const char* variable) {
  const char* value = std::getenv(variable);
  if (!value || !*value) return std::nullopt;
  std::filesystem::path folder(value);
  if (!folder.is_absolute()) return std::nullopt;
  return folder;
}

std::filesystem::path KestlesPaths::dataHome() {
  return xdgFolder("XDG_DATA_HOME").value_or(homeFolder() / ".local" / "share");
}

std::filesystem::path KestlesPaths::configHome() {
  return xdgFolder("XDG_CONFIG_HOME").value_or(homeFolder() / ".config");
}

std::filesystem::path KestlesPaths::stateHome() {
  return xdgFolder("XDG_STATE_HOME").value_or(homeFolder() / ".local" / "state");
}

std::filesystem::path KestlesPaths::dataFolder() {
  return dataHome() / "kestles";
}

std::filesystem::path KestlesPaths::file(std::string_view name) {
  return dataFolder() / name;
}

int KestlesPaths::moveEarlierVersionFiles(const std::filesystem::path& dataFolder) {
  int moved = 0;
  for (auto item : kEarlierVersionItems) {
    auto source = dataFolder / item;
    if (!std::filesystem::exists(std::filesystem::symlink_status(source))) continue;
    auto folder = dataFolder / "Kestles 1";
    std::filesystem::create_directories(folder);
    std::filesystem::rename(source, freeName(folder, item));
    ++moved;
  }
  return moved;
}

}  // namespace kestles
