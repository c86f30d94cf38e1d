#include "kestles/ArchivePath.hpp"

#include "KestlesCore/command/CommandLink.hpp"

namespace kestles::tool {

std::string fileURL(const std::filesystem::path& path) {
  std::string url = "file://";
  for (const auto& part : path) {
    if (part == "/") continue;
    url.append("/").append(percentEscaped(part.string()));
  }
  return url;
}

}  // namespace kestles::tool
