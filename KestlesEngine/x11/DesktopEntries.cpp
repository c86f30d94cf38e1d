#include "KestlesEngine/x11/DesktopEntries.hpp"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <utility>

#include "KestlesCore/library/KestlesPaths.hpp"
#include "KestlesCore/text/Text.hpp"
#include "KestlesEngine/platform/Environment.hpp"

namespace kestles::x11 {
namespace {

std::string_view trimmedASCII(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

/// The unlocalized keys of the "[Desktop Entry]" group.
std::map<std::string, std::string, std::less<>> mainGroup(std::string_view text) {
  std::map<std::string, std::string, std::less<>> keys;
  bool inGroup = false;
  std::istringstream lines{std::string(text)};
  for (std::string raw; std::getline(lines, raw);) {
    auto line = trimmedASCII(raw);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      inGroup = line == "[Desktop Entry]";
      continue;
    }
    auto equals = line.find('=');
    if (!inGroup || equals == std::string_view::npos) continue;
    auto key = trimmedASCII(line.substr(0, equals));
    if (key.find('[') != std::string_view::npos) continue;  // a localized variant
    keys.try_emplace(std::string(key), std::string(trimmedASCII(line.substr(equals + 1))));
  }
  return keys;
}

bool isTrue(const std::map<std::string, std::string, std::less<>>& keys, std::string_view key) {
  auto found = keys.find(key);
  return found != keys.end() && found->second == "true";
}

std::string value(const std::map<std::string, std::string, std::less<>>& keys,
                  std::string_view key) {
  auto found = keys.find(key);
  return found == keys.end() ? std::string() : found->second;
}

std::vector<std::filesystem::path> splitFolders(std::string_view list) {
  std::vector<std::filesystem::path> folders;
  while (!list.empty()) {
    auto colon = list.find(':');
    auto item = list.substr(0, colon);
    if (!item.empty()) folders.emplace_back(std::string(item));
    if (colon == std::string_view::npos) break;
    list.remove_prefix(colon + 1);
  }
  return folders;
}

std::string entryID(const std::filesystem::path& relative) {
  auto id = relative.generic_string();
  id.resize(id.size() - std::string_view(".desktop").size());
  std::replace(id.begin(), id.end(), '/', '-');
  // A file name is any bytes; the id becomes an app's identifier in the model.
  return text::repairedUTF8(id);
}

std::optional<std::string> readFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

/// The desktop files below a folder, sorted so that scans are repeatable.
std::vector<std::filesystem::path> desktopFiles(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  std::filesystem::recursive_directory_iterator walk(
      folder, std::filesystem::directory_options::skip_permission_denied, error);
  for (auto end = std::filesystem::recursive_directory_iterator(); !error && walk != end;
       walk.increment(error)) {
    if (walk->path().extension() == ".desktop" && walk->is_regular_file(error))
      files.push_back(walk->path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

std::optional<DesktopEntry> parseDesktopEntry(std::string_view contents, std::string id) {
  // Entries should be UTF-8, but any package or user can write one: its names and commands
  // enter the model (and its files) valid.
  auto keys = mainGroup(text::repairedUTF8(contents));
  if (value(keys, "Type") != "Application") return std::nullopt;
  if (isTrue(keys, "NoDisplay") || isTrue(keys, "Hidden")) return std::nullopt;
  auto name = value(keys, "Name");
  if (name.empty()) return std::nullopt;
  return DesktopEntry{std::move(id), std::move(name), value(keys, "StartupWMClass"),
                      value(keys, "Exec")};
}

std::vector<std::filesystem::path> applicationFolders() {
  std::vector<std::filesystem::path> folders{KestlesPaths::dataHome() / "applications"};
  auto dirs = platform::environment("XDG_DATA_DIRS").value_or("/usr/local/share:/usr/share");
  for (auto& folder : splitFolders(dirs))
    folders.push_back(folder / "applications");
  return folders;
}

DesktopEntries DesktopEntries::scan(const std::vector<std::filesystem::path>& folders) {
  std::vector<DesktopEntry> entries;
  std::vector<std::filesystem::path> paths;
  std::set<std::string, std::less<>> seen;
  for (const auto& folder : folders) {
    for (const auto& path : desktopFiles(folder)) {
      auto id = entryID(path.lexically_relative(folder));
      if (!seen.insert(id).second) continue;
      auto contents = readFile(path);
      if (!contents) continue;
      if (auto entry = parseDesktopEntry(*contents, id)) {
        entries.push_back(std::move(*entry));
        paths.push_back(path);
      }
    }
  }
  DesktopEntries scanned(std::move(entries));
  scanned.paths_ = std::move(paths);
  return scanned;
}

std::optional<std::filesystem::path> DesktopEntries::pathOf(std::string_view id) const {
  for (std::size_t i = 0; i < entries_.size() && i < paths_.size(); ++i)
    if (entries_[i].id == id) return paths_[i];
  return std::nullopt;
}

std::vector<std::string> execArguments(std::string_view exec) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  bool quoted = false;
  for (std::size_t i = 0; i < exec.size(); ++i) {
    char c = exec[i];
    if (quoted) {
      if (c == '"') {
        quoted = false;
      } else if (c == '\\' && i + 1 < exec.size()) {
        word.push_back(exec[++i]);
      } else {
        word.push_back(c);
      }
    } else if (c == ' ' || c == '\t') {
      if (inWord) words.push_back(std::exchange(word, {}));
      inWord = false;
    } else if (c == '"') {
      quoted = inWord = true;
    } else if (c == '%' && i + 1 < exec.size()) {
      // Field codes stand for files and URLs the launch does not pass; "%%" is a percent.
      if (exec[++i] == '%') word.push_back('%');
      inWord = inWord || exec[i] == '%';
    } else {
      word.push_back(c);
      inWord = true;
    }
  }
  if (quoted) return {};
  if (inWord) words.push_back(std::move(word));
  return words;
}

const DesktopEntry* DesktopEntries::withID(std::string_view id) const {
  if (id.empty()) return nullptr;
  for (const auto& entry : entries_)
    if (entry.id == id) return &entry;
  return nullptr;
}

std::optional<std::filesystem::path> DesktopEntries::locate(std::string_view id,
                                                            std::string_view searchPath) const {
  if (id.empty()) return std::nullopt;
  if (auto path = pathOf(id)) return path;
  if (const auto* entry = match({{}, {}, std::string(id)}))
    if (auto path = pathOf(entry->id)) return path;
  // A name with a slash would reach outside the folders.
  if (id.find('/') != std::string_view::npos) return std::nullopt;
  for (const auto& name : {std::string(id), text::asciiLowercased(id)}) {
    std::string_view rest = searchPath;
    while (true) {
      auto colon = rest.find(':');
      std::filesystem::path folder(rest.substr(0, colon));
      // An empty or relative folder would depend on where the app happens to run.
      if (folder.is_absolute()) {
        auto program = folder / name;
        std::error_code error;
        if (std::filesystem::is_regular_file(program, error) &&
            ::access(program.c_str(), X_OK) == 0)
          return program;
      }
      if (colon == std::string_view::npos) break;
      rest.remove_prefix(colon + 1);
    }
  }
  return std::nullopt;
}

const DesktopEntry* DesktopEntries::match(const WindowIdentity& identity) const {
  if (auto* entry = withID(identity.gtkApplicationID)) return entry;
  std::string_view kde = identity.kdeDesktopFile;
  if (kde.ends_with(".desktop")) kde.remove_suffix(std::string_view(".desktop").size());
  if (auto* entry = withID(kde)) return entry;
  if (identity.windowClass.empty()) return nullptr;
  for (const auto& entry : entries_)
    if (entry.startupWMClass == identity.windowClass) return &entry;
  auto lowered = text::asciiLowercased(identity.windowClass);
  for (const auto& entry : entries_)
    if (text::asciiLowercased(entry.id) == lowered) return &entry;
  return nullptr;
}

}  // namespace kestles::x11
