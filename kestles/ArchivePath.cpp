#include "kestles/ArchivePath.hpp"

#include <pwd.h>

#include "KestlesCore/command/CommandLink.hpp"

namespace kestles::tool {
namespace {

/// "~" and "~/…" are the home folder, "~name/…" that user's home; anything else stays.
std::string expandingTilde(const std::string& typed, const std::filesystem::path& home) {
  if (!typed.starts_with("~")) return typed;
  auto slash = typed.find('/');
  auto user = typed.substr(1, slash == std::string::npos ? std::string::npos : slash - 1);
  auto rest = slash == std::string::npos ? std::string() : typed.substr(slash);
  if (user.empty()) return home.string() + rest;
  const passwd* entry = getpwnam(user.c_str());
  if (entry == nullptr || entry->pw_dir == nullptr) return typed;
  return std::string(entry->pw_dir) + rest;
}

}  // namespace

std::filesystem::path archivePath(const std::string& typed,
                                  const std::filesystem::path& workingFolder,
                                  const std::filesystem::path& home) {
  std::filesystem::path path = expandingTilde(typed, home);
  if (path.is_relative()) path = workingFolder / path;
  path = path.lexically_normal();
  // A file, not a folder: a trailing slash names the file itself.
  while (path.has_parent_path() && path.filename().empty())
    path = path.parent_path();
  if (!path.has_extension()) path += ".kestles";
  return path;
}

std::string fileURL(const std::filesystem::path& path) {
  std::string url = "file://";
  for (const auto& part : path) {
    if (part == "/") continue;
    url.append("/").append(percentEscaped(part.string()));
  }
  return url;
}

}  // namespace kestles::tool
