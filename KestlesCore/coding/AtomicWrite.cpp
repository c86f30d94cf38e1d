#include "KestlesCore/coding/AtomicWrite.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <random>
#include <system_error>

#include "KestlesCore/coding/PosixFile.hpp"

namespace kestles::json_style {
namespace {

// Closes and removes the temporary file unless it was moved into place. The file stays
// locked while it is open, which tells a later writer that it is still being written.
struct TemporaryFile {
  std::string path;
  int descriptor = -1;
  bool kept = false;

  ~TemporaryFile() {
    if (!kept) ::unlink(path.c_str());
    if (descriptor >= 0) ::close(descriptor);
  }
};

constexpr std::size_t kTemporarySuffixLength = 6;

// ".library.json." for "library.json": the start of every temporary name of that file.
std::string temporaryPrefix(const std::filesystem::path& path) {
  std::string prefix(1, '.');
  prefix.append(path.filename().string()).push_back('.');
  return prefix;
}

bool isTemporaryOf(const std::string& name, const std::string& prefix) {
  if (name.size() != prefix.size() + kTemporarySuffixLength || !name.starts_with(prefix))
    return false;
  return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                     [](unsigned char c) { return std::isalnum(c) != 0; });
}

std::string randomSuffix() {
  static constexpr std::string_view kLetters =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device source;
  std::uniform_int_distribution<std::size_t> pick(0, kLetters.size() - 1);
  std::string suffix;
  for (std::size_t i = 0; i < kTemporarySuffixLength; ++i)
    suffix += kLetters[pick(source)];
  return suffix;
}

// Removes temporary files of this path that a killed writer left: ours by name and owner,
// regular, and not locked by a writer that is still at work.
void removeStaleTemporaries(const std::filesystem::path& folder,
                            const std::filesystem::path& path) {
  auto prefix = temporaryPrefix(path);
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    auto name = entry.path().filename().string();
    if (!isTemporaryOf(name, prefix)) continue;
    Descriptor file(
        ::open(entry.path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat info {};
    if (file.value < 0 || ::fstat(file.value, &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_uid != ::geteuid())
      continue;
    if (::flock(file.value, LOCK_EX | LOCK_NB) == 0) ::unlink(entry.path().c_str());
  }
}

// Creates and locks a new temporary file beside the path. A new file gets the mode that the
// umask gives; a replacement keeps the mode of the file it replaces (0600, say, for privacy)
// when its owner may read it, else it gets a new file's mode: a file its owner cannot read is
// a mistake to mend, not a choice to carry into every later save.
void createTemporary(const std::filesystem::path& folder, const std::filesystem::path& path,
                     TemporaryFile& temporary) {
  struct stat existing {};
  bool keepsMode = ::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
                   (existing.st_mode & S_IRUSR) != 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary.path = (folder / (temporaryPrefix(path) + randomSuffix())).string();
    int descriptor =
        ::open(temporary.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor < 0 && errno == EEXIST) continue;
    if (descriptor < 0) {
      temporary.kept = true;  // nothing was created
      fail(errno, "Couldn’t create a file in " + folder.string());
    }
    temporary.descriptor = descriptor;
    struct stat info {};
    // A cleaner may have taken the file for a leftover before it was locked: start again.
    if (::flock(descriptor, LOCK_EX) != 0 || ::fstat(descriptor, &info) != 0 ||
        info.st_nlink == 0) {
      ::close(descriptor);
      temporary.descriptor = -1;
      continue;
    }
    if (keepsMode && ::fchmod(descriptor, existing.st_mode & 07777) != 0)
      fail(errno, "Couldn’t write " + path.string());
    return;
  }
  temporary.kept = true;
  fail(EEXIST, "Couldn’t create a file in " + folder.string());
}

void writeAll(int descriptor, std::string_view bytes, const std::string& path) {
  while (!bytes.empty()) {
    ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) fail(written < 0 ? errno : EIO, "Couldn’t write " + path);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

void syncFolder(const std::filesystem::path& folder) {
  int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  ::fsync(descriptor);
  ::close(descriptor);
}

}  // namespace

void writeAtomically(const std::filesystem::path& path, std::string_view bytes) {
  if (path.filename().empty() || path.filename() == "." || path.filename() == "..")
    fail(EISDIR, "Couldn’t write " + path.string());
  auto folder = path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
  std::filesystem::create_directories(folder);
  removeStaleTemporaries(folder, path);
  TemporaryFile temporary;
  createTemporary(folder, path, temporary);
  writeAll(temporary.descriptor, bytes, path.string());
  if (::fsync(temporary.descriptor) != 0) fail(errno, "Couldn’t write " + path.string());
  // The lock is held until the file is in place, so no cleaner takes it for a leftover.
  if (::rename(temporary.path.c_str(), path.c_str()) != 0)
    fail(errno, "Couldn’t replace " + path.string());
  temporary.kept = true;
  syncFolder(folder);
}

}  // namespace kestles::json_style
