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

std::filesystem::path homeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir) return user->pw_dir;
  return "/";
}

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

std::filesystem::path KestlesPaths::dataFolder() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  std::filesystem::path base = dataHome && *dataHome ? dataHome : "";
  if (!base.is_absolute()) base = homeFolder() / ".local" / "share";
  return base / "kestles";
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
