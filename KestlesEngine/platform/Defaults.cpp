#include "KestlesEngine/platform/Defaults.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <nlohmann/json.hpp>

#include "KestlesCore/coding/JSONFile.hpp"
#include "KestlesCore/library/KestlesPaths.hpp"

namespace kestles::platform {
namespace {

using nlohmann::json;

/// The suites in the file, or nothing when there is no file. Throws coding::DecodeError for
/// a file that is not an object of suites, std::system_error for one that cannot be read.
std::optional<json> readSuites(const std::filesystem::path& path) {
  auto bytes = json_style::readFileIfPresent(path);
  if (!bytes) return std::nullopt;
  auto suites = json_style::parse(*bytes);
  if (!suites.is_object()) throw coding::DecodeError("it isn’t an object of suites");
  return suites;
}

/// Holds an exclusive lock on a file beside the defaults, so that writers take turns: each
/// reads, changes and writes the whole file, and without turns one would drop the other's key.
/// The defaults file itself cannot carry the lock, since every write replaces it.
class WriterLock {
 public:
  explicit WriterLock(const std::filesystem::path& path)
      : descriptor_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600)) {
    if (descriptor_ < 0) {
      error_ = errno;
      return;
    }
    while (::flock(descriptor_, LOCK_EX) != 0) {
      if (errno == EINTR) continue;
      error_ = errno;
      return;
    }
  }
  ~WriterLock() {
    if (descriptor_ >= 0) ::close(descriptor_);  // closing releases the lock
  }
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;

  /// The reason the lock could not be taken, or 0.
  int error() const { return error_; }

 private:
  int descriptor_;
  int error_ = 0;
};

std::string reasonOf(const std::exception& error) {
  if (const auto* system = dynamic_cast<const std::system_error*>(&error))
    return system->code().message();
  return json_style::describe(error);
}

Failure cannotWrite(const std::filesystem::path& path, const std::string& reason) {
  return {"The defaults file " + path.string() + " can’t be written (" + reason + ")."};
}

}  // namespace

std::filesystem::path defaultsFile() {
  return KestlesPaths::configHome() / "kestles" / "defaults.json";
}

std::optional<bool> readDefaultBool(const std::string& suite, const std::string& key) {
  std::optional<json> suites;
  try {
    suites = readSuites(defaultsFile());
  } catch (const std::exception&) {
    return std::nullopt;  // a damaged file sets nothing; writing says what is wrong with it
  }
  if (!suites) return std::nullopt;
  auto suiteEntry = suites->find(suite);
  if (suiteEntry == suites->end() || !suiteEntry->is_object()) return std::nullopt;
  auto value = suiteEntry->find(key);
  if (value == suiteEntry->end() || !value->is_boolean()) return std::nullopt;
  return value->get<bool>();
}

std::optional<Failure> writeDefaultBool(const std::string& suite, const std::string& key,
                                        bool value) {
  auto path = defaultsFile();
  std::error_code created;
  std::filesystem::create_directories(path.parent_path(), created);
  if (created) return cannotWrite(path, created.message());
  WriterLock lock(path.parent_path() / ".defaults.json.lock");
  if (lock.error()) return cannotWrite(path, std::strerror(lock.error()));

  json suites;
  try {
    suites = readSuites(path).value_or(json::object());
    if (auto entry = suites.find(suite); entry != suites.end() && !entry->is_object())
      throw coding::DecodeError("the suite “" + suite + "” isn’t an object of keys");
  } catch (const std::exception& error) {
    // Writing a fresh file would drop every other value the damaged one still holds.
    return Failure{"The defaults file " + path.string() + " can’t be read (" + reasonOf(error) +
                   "), so nothing was written. Mend or remove it, then try again."};
  }
  suites[suite][key] = value;
  std::string bytes;
  try {
    bytes = json_style::encode(suites) + "\n";
  } catch (const nlohmann::json::exception&) {
    return Failure{"The suite and the key must be valid UTF-8; nothing was written."};
  }
  try {
    json_style::writeAtomically(path, bytes);
  } catch (const std::exception& error) {
    return cannotWrite(path, reasonOf(error));
  }
  return std::nullopt;
}

}  // namespace kestles::platform
