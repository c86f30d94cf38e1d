#include "KestlesCore/coding/JSONFile.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sstream>
#include <system_error>

namespace kestles::json_style {
namespace {

[[noreturn]] void fail(int code, const std::string& what) {
  throw std::system_error(code, std::generic_category(), what);
}

// Closes and removes the temporary file unless it was moved into place.
struct TemporaryFile {
  std::string path;
  int descriptor = -1;
  bool kept = false;

  ~TemporaryFile() {
    if (descriptor >= 0) ::close(descriptor);
    if (!kept) ::unlink(path.c_str());
  }
};

void writeAll(int descriptor, std::string_view bytes, const std::string& path) {
  while (!bytes.empty()) {
    ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) fail(written < 0 ? errno : EIO, "Couldn’t write " + path);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

// A new file keeps the mode of the one it replaces.
mode_t modeFor(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) return info.st_mode & 07777;
  return 0644;
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
      throw std::runtime_error("the data is nested more than " + std::to_string(kMaxDepth) +
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

}  // namespace

std::string encode(const nlohmann::json& value) {
  return value.dump(2);
}

nlohmann::json parseStreaming(
    std::string_view bytes, std::span<const std::string_view> streamed,
    const std::function<void(std::string_view key)>& onList,
    const std::function<void(std::string_view key, nlohmann::json&& item)>& onItem) {
  nlohmann::json rest;
  StreamingBuilder builder(rest, streamed, onList, onItem);
  nlohmann::json::sax_parse(bytes, &builder);
  return rest;
}

nlohmann::json parse(std::string_view bytes) {
  return parseStreaming(
      bytes, {}, [](std::string_view) {}, [](std::string_view, nlohmann::json&&) {});
}

std::string describe(const std::exception& error) {
  std::string_view text = error.what();
  if (text.starts_with("[json.exception.")) {
    auto end = text.find("] ");
    if (end != std::string_view::npos) text.remove_prefix(end + 2);
  }
  return std::string(text);
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) fail(errno ? errno : EIO, "Couldn’t read " + path.string());
  std::ostringstream bytes;
  bytes << file.rdbuf();
  if (file.bad()) fail(EIO, "Couldn’t read " + path.string());
  return std::move(bytes).str();
}

void writeAtomically(const std::filesystem::path& path, std::string_view bytes) {
  auto folder = path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
  std::filesystem::create_directories(folder);
  std::string name = ".";
  name.append(path.filename().string()).append(".XXXXXX");
  TemporaryFile temporary{(folder / name).string()};
  temporary.descriptor = ::mkstemp(temporary.path.data());
  if (temporary.descriptor < 0) {
    temporary.kept = true;  // nothing was created
    fail(errno, "Couldn’t create a file in " + folder.string());
  }
  writeAll(temporary.descriptor, bytes, path.string());
  if (::fchmod(temporary.descriptor, modeFor(path)) != 0 || ::fsync(temporary.descriptor) != 0)
    fail(errno, "Couldn’t write " + path.string());
  int closed = ::close(temporary.descriptor);
  temporary.descriptor = -1;
  if (closed != 0) fail(errno, "Couldn’t write " + path.string());
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
