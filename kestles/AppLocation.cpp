#include "kestles/AppLocation.hpp"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string_view>

#include "KestlesEngine/platform/Environment.hpp"

namespace kestles::tool {
namespace {

/// Maps a file read-only for the time of one search.
class MappedFile {
 public:
  explicit MappedFile(const std::filesystem::path& path) {
    int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return;
    struct stat status {};
    if (fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) {
      size_ = static_cast<std::size_t>(status.st_size);
      void* mapped = mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, descriptor, 0);
      if (mapped != MAP_FAILED) data_ = static_cast<const char*>(mapped);
    }
    close(descriptor);
  }
  ~MappedFile() {
    if (data_ != nullptr) munmap(const_cast<char*>(data_), size_);
  }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  std::string_view contents() const { return data_ ? std::string_view(data_, size_) : ""; }

 private:
  const char* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace

std::optional<std::filesystem::path> appBesideTool() {
  auto tool = platform::executablePath();
  if (!tool) return std::nullopt;
  auto app = tool->parent_path() / "kestles-app";
  if (access(app.c_str(), X_OK) != 0) return std::nullopt;
  return app;
}

std::optional<std::string> appVersion(const std::filesystem::path& app) {
  // Built from pieces so that the tool's own binary never holds the whole marker.
  std::string marker = "\x01KESTLES-APP";
  marker += "-VERSION=";
  MappedFile file(app);
  auto contents = file.contents();
  // memmem rather than find: binaries are full of the marker's first byte.
  const void* hit = memmem(contents.data(), contents.size(), marker.data(), marker.size());
  if (hit == nullptr) return std::nullopt;
  auto found = static_cast<std::size_t>(static_cast<const char*>(hit) - contents.data());
  auto start = found + marker.size();
  auto end = contents.find('\0', start);
  if (end == std::string_view::npos || end == start || end - start > 64) return std::nullopt;
  return std::string(contents.substr(start, end - start));
}

std::string versionText() {
  if (auto app = appBesideTool())
    if (auto version = appVersion(*app)) return *version;
  return "(not in Kestles.app)";
}

}  // namespace kestles::tool
