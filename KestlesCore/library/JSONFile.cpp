#include "KestlesCore/library/JSONFile.hpp"

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

// Builds the document like the standard parser but refuses nesting deeper than any real
// file has, so that decoding (which recurses) cannot run out of stack on hostile bytes.
class DepthLimitedBuilder {
 public:
  static constexpr std::size_t kMaxDepth = 256;
  using json = nlohmann::json;

  explicit DepthLimitedBuilder(json& result) : dom_(result, true) {}

  bool null() { return dom_.null(); }
  bool boolean(bool value) { return dom_.boolean(value); }
  bool number_integer(json::number_integer_t value) { return dom_.number_integer(value); }
  bool number_unsigned(json::number_unsigned_t value) { return dom_.number_unsigned(value); }
  bool number_float(json::number_float_t value, const json::string_t& text) {
    return dom_.number_float(value, text);
  }
  bool string(json::string_t& value) { return dom_.string(value); }
  bool binary(json::binary_t& value) { return dom_.binary(value); }
  bool start_object(std::size_t size) { return enter() && dom_.start_object(size); }
  bool key(json::string_t& value) { return dom_.key(value); }
  bool end_object() { return leave() && dom_.end_object(); }
  bool start_array(std::size_t size) { return enter() && dom_.start_array(size); }
  bool end_array() { return leave() && dom_.end_array(); }
  bool parse_error(std::size_t position, const std::string& token,
                   const nlohmann::detail::exception& error) {
    return dom_.parse_error(position, token, error);
  }

 private:
  bool enter() {
    if (++depth_ > kMaxDepth)
      throw std::runtime_error("the data is nested more than " + std::to_string(kMaxDepth) +
                               " levels deep");
    return true;
  }
  bool leave() {
    --depth_;
    return true;
  }

  nlohmann::detail::json_sax_dom_parser<json> dom_;
  std::size_t depth_ = 0;
};

}  // namespace

std::string encode(const nlohmann::json& value) {
  return value.dump(2);
}

nlohmann::json parse(std::string_view bytes) {
  nlohmann::json result;
  DepthLimitedBuilder builder(result);
  nlohmann::json::sax_parse(bytes, &builder);
  return result;
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
