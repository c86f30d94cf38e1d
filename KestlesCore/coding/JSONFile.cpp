#include "KestlesCore/coding/JSONFile.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <random>
#include <system_error>

#include "KestlesCore/coding/Coding.hpp"

namespace kestles::json_style {
namespace {

[[noreturn]] void fail(int code, const std::string& what) {
  throw std::system_error(code, std::generic_category(), what);
}

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

// Owns one open file descriptor.
struct Descriptor {
  int value = -1;
  explicit Descriptor(int descriptor) : value(descriptor) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (value >= 0) ::close(value);
  }
};

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

// Documents nested deeper than any real file are refused, so that decoding (which
// recurses) cannot run out of stack on hostile bytes.
constexpr std::size_t kMaxDepth = 256;

// Builds the document like the standard parser, except that the items of streamed
// top-level arrays are built one at a time, handed over and dropped.
class StreamingBuilder {
 public:
  using json = nlohmann::json;
  using Dom = nlohmann::detail::json_sax_dom_parser<json>;

  StreamingBuilder(json& rest, std::span<const std::string_view> streamed,
                   const std::function<void(std::string_view)>& onList,
                   const std::function<void(std::string_view, json&&)>& onItem)
      : rest_(rest, true), streamed_(streamed), onList_(onList), onItem_(onItem) {}

  bool null() {
    return scalar([](Dom& dom) { return dom.null(); }, [] { return json(); });
  }
  bool boolean(bool value) {
    return scalar([&](Dom& dom) { return dom.boolean(value); }, [&] { return json(value); });
  }
  bool number_integer(json::number_integer_t value) {
    return scalar([&](Dom& dom) { return dom.number_integer(value); }, [&] { return json(value); });
  }
  bool number_unsigned(json::number_unsigned_t value) {
    return scalar([&](Dom& dom) { return dom.number_unsigned(value); },
                  [&] { return json(value); });
  }
  bool number_float(json::number_float_t value, const json::string_t& text) {
    return scalar([&](Dom& dom) { return dom.number_float(value, text); },
                  [&] { return json(value); });
  }
  bool string(json::string_t& value) {
    return scalar([&](Dom& dom) { return dom.string(value); },
                  [&] { return json(std::move(value)); });
  }
  bool binary(json::binary_t& value) {
    return scalar([&](Dom& dom) { return dom.binary(value); },
                  [&] { return json::binary(std::move(value)); });
  }
  bool key(json::string_t& value) {
    if (item_) return item_->key(value);
    if (depth() == 1 && isStreamed(value)) {
      onList_(value);
      pendingKey_ = std::move(value);
      return true;
    }
    return rest_.key(value);
  }
  bool start_object(std::size_t size) {
    enter();
    if (startItem()) return item_->start_object(size);
    flushPendingKey();
    return rest_.start_object(size);
  }
  bool start_array(std::size_t size) {
    enter();
    if (startItem()) return item_->start_array(size);
    if (pendingKey_ && depth() == 2) {
      listKey_ = std::move(pendingKey_);
      pendingKey_.reset();
      return true;
    }
    return rest_.start_array(size);
  }
  bool end_object() { return leave(false); }
  bool end_array() { return leave(true); }
  bool parse_error(std::size_t position, const std::string& token,
                   const nlohmann::detail::exception& error) {
    return rest_.parse_error(position, token, error);
  }

 private:
  std::size_t depth() const { return depth_; }
  bool isStreamed(std::string_view key) const {
    return std::find(streamed_.begin(), streamed_.end(), key) != streamed_.end();
  }
  bool atListLevel() const { return listKey_.has_value() && depth() == 2; }

  void enter() {
    if (++depth_ > kMaxDepth)
      throw coding::DecodeError("the data is nested more than " + std::to_string(kMaxDepth) +
                                " levels deep");
  }

  // Whether the container that just opened belongs to an item, starting one when it opens
  // right inside a streamed list.
  bool startItem() {
    if (item_) return true;
    if (!listKey_ || depth() != 3) return false;
    itemValue_ = json();
    item_.emplace(itemValue_, true);
    return true;
  }

  void flushPendingKey() {
    if (!pendingKey_) return;
    rest_.key(*pendingKey_);
    pendingKey_.reset();
  }

  bool leave(bool array) {
    bool ok = true;
    if (item_) {
      ok = array ? item_->end_array() : item_->end_object();
      if (depth() == 3) {
        item_.reset();
        onItem_(*listKey_, std::move(itemValue_));
      }
    } else if (atListLevel()) {
      listKey_.reset();
    } else {
      ok = array ? rest_.end_array() : rest_.end_object();
    }
    --depth_;
    return ok;
  }

  template <class ToDom, class ToJSON>
  bool scalar(ToDom toDom, ToJSON toJSON) {
    if (item_) return toDom(*item_);
    if (atListLevel()) {
      onItem_(*listKey_, toJSON());
      return true;
    }
    flushPendingKey();
    return toDom(rest_);
  }

  Dom rest_;
  std::span<const std::string_view> streamed_;
  const std::function<void(std::string_view)>& onList_;
  const std::function<void(std::string_view, json&&)>& onItem_;
  std::size_t depth_ = 0;
  std::optional<std::string> pendingKey_;
  std::optional<std::string> listKey_;
  json itemValue_;
  std::optional<Dom> item_;
};

// nlohmann's error for a number too large for a double, such as 1e400.
constexpr int kNumberOverflow = 406;

// The power of ten of a JSON number's leading digit (1e400 gives 400), saturating.
long long decimalMagnitude(std::string_view number) {
  std::size_t at = number.starts_with('-') ? 1 : 0;
  long long magnitude = 0;
  bool leading = true;
  long long integerDigits = 0;
  for (; at < number.size() && std::isdigit(static_cast<unsigned char>(number[at])); ++at)
    if (!(leading && number[at] == '0')) {
      leading = false;
      ++integerDigits;
    }
  if (integerDigits > 0) {
    magnitude = integerDigits - 1;
  } else if (at < number.size() && number[at] == '.') {
    magnitude = -1;
    for (++at; at < number.size() && number[at] == '0'; ++at)
      --magnitude;
  }
  while (at < number.size() && number[at] != 'e' && number[at] != 'E')
    ++at;
  if (at + 1 < number.size()) {
    ++at;
    bool negative = number[at] == '-';
    if (number[at] == '-' || number[at] == '+') ++at;
    long long exponent = 0;
    auto read = std::from_chars(number.data() + at, number.data() + number.size(), exponent);
    if (read.ec == std::errc::result_out_of_range) exponent = LLONG_MAX / 4;
    magnitude = negative ? magnitude - exponent : magnitude + exponent;
  }
  return magnitude;
}

// Whether the text is one JSON number too large for a double; tiny ones read as 0.
bool overflowsDouble(std::string_view token) {
  double value = 0;
  auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
  return error == std::errc::result_out_of_range && end == token.data() + token.size() &&
         decimalMagnitude(token) > 0;
}

// The bytes with every number too large for a double replaced by an empty list of the same
// length ("1e400" becomes "[   ]"), which no number field accepts: the item that holds it is
// dropped like any other damaged item, instead of the whole document failing to parse.
std::string withOverflowingNumbersMasked(std::string_view bytes) {
  std::string masked(bytes);
  bool inString = false;
  for (std::size_t at = 0; at < masked.size(); ++at) {
    char c = masked[at];
    if (inString) {
      if (c == '\\')
        ++at;
      else if (c == '"')
        inString = false;
      continue;
    }
    if (c == '"') {
      inString = true;
      continue;
    }
    if (c != '-' && !std::isdigit(static_cast<unsigned char>(c))) continue;
    auto end = masked.find_first_not_of("0123456789+-.eE", at);
    if (end == std::string::npos) end = masked.size();
    if (overflowsDouble(std::string_view(masked).substr(at, end - at))) {
      std::fill(masked.begin() + static_cast<std::ptrdiff_t>(at),
                masked.begin() + static_cast<std::ptrdiff_t>(end), ' ');
      masked[at] = '[';
      masked[end - 1] = ']';
    }
    at = end - 1;
  }
  return masked;
}

}  // namespace

std::string encode(const nlohmann::json& value) {
  return value.dump(2);
}

nlohmann::json parseStreaming(
    std::string_view bytes, std::span<const std::string_view> streamed,
    const std::function<void(std::string_view key)>& onList,
    const std::function<void(std::string_view key, nlohmann::json&& item)>& onItem) {
  auto parseOnce = [&](std::string_view text) {
    nlohmann::json rest;
    StreamingBuilder builder(rest, streamed, onList, onItem);
    nlohmann::json::sax_parse(text, &builder);
    return rest;
  };
  try {
    try {
      return parseOnce(bytes);
    } catch (const nlohmann::json::exception& error) {
      // The parser rethrows its errors as the base type, so the id tells which one it was.
      if (error.id != kNumberOverflow) throw;
      // Every list is started afresh as its key comes round again.
      auto masked = withOverflowingNumbersMasked(bytes);
      return parseOnce(masked);
    }
  } catch (const nlohmann::json::exception& error) {
    throw coding::DecodeError(describe(error));
  }
}

nlohmann::json parse(std::string_view bytes) {
  return parseStreaming(
      bytes, {}, [](std::string_view) {}, [](std::string_view, nlohmann::json&&) {});
}

std::string describe(const std::exception& error) {
  if (const auto* json = dynamic_cast<const nlohmann::json::exception*>(&error))
    return coding::describeJSONError(*json);
  return error.what();
}

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

std::filesystem::path setAsidePath(const std::filesystem::path& path, const Date& date) {
  auto stamp = date.iso();
  std::replace(stamp.begin(), stamp.end(), ':', '-');
  auto name = path.stem().string();
  name.append(".unreadable-").append(stamp).append(".json");
  return path.parent_path() / name;
}

}  // namespace kestles::json_style
