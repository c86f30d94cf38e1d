#include "KestlesCore/coding/FileRead.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "KestlesCore/coding/PosixFile.hpp"

namespace kestles::json_style {
namespace {

// Why a file is refused before it is read, in the words of the system's own errors.
enum class Refusal { notRegular = 1, tooLarge, brokenLink };

class RefusalCategory : public std::error_category {
 public:
  const char* name() const noexcept override { return "kestles.file"; }
  std::string message(int code) const override {
    switch (static_cast<Refusal>(code)) {
      case Refusal::notRegular:
        return "Not a regular file";
      case Refusal::tooLarge:
        return std::string("File too large (over ")
            .append(std::to_string(kMaxFileSize >> 20))
            .append(" MB)");
      case Refusal::brokenLink:
        return "Broken symbolic link";
    }
    return "Unreadable file";
  }
};

[[noreturn]] void refuse(Refusal refusal, const std::string& what) {
  static const RefusalCategory category;
  throw std::system_error(static_cast<int>(refusal), category, what);
}

}  // namespace

std::string readFile(const std::filesystem::path& path) {
  auto what = "Couldn’t read " + path.string();
  // Non-blocking, so that opening a FIFO does not wait for a writer.
  Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (file.value < 0) {
    int code = errno;
    struct stat link {};
    if (code == ENOENT && ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode))
      refuse(Refusal::brokenLink, what);
    fail(code, what);
  }
  struct stat info {};
  if (::fstat(file.value, &info) != 0) fail(errno, what);
  if (S_ISDIR(info.st_mode)) fail(EISDIR, what);
  if (!S_ISREG(info.st_mode)) refuse(Refusal::notRegular, what);
  if (static_cast<std::uintmax_t>(info.st_size) > kMaxFileSize) refuse(Refusal::tooLarge, what);
  std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
  std::size_t filled = 0;
  // A file that grows while it is read is still held to the limit.
  for (;;) {
    if (filled == bytes.size())
      bytes.resize(std::min<std::size_t>(bytes.size() + 65536, kMaxFileSize + 1));
    if (filled == bytes.size()) refuse(Refusal::tooLarge, what);
    ssize_t count = ::read(file.value, bytes.data() + filled, bytes.size() - filled);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) fail(errno, what);
    if (count == 0) break;
    filled += static_cast<std::size_t>(count);
  }
  bytes.resize(filled);
  return bytes;
}

std::optional<std::string> readFileIfPresent(const std::filesystem::path& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 && errno == ENOENT) return std::nullopt;
  return readFile(path);
}

}  // namespace kestles::json_style
