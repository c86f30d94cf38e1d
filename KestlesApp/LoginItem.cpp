#include "KestlesApp/LoginItem.hpp"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

#include "KestlesCore/coding/AtomicWrite.hpp"
#include "KestlesCore/library/KestlesPaths.hpp"

namespace kestles::app {
namespace {

/// The Exec value that runs the program with no arguments: plain when the path needs no
/// quoting, else in double quotes with `"`, `` ` ``, `$` and `\` escaped; "%" doubled
/// either way, since a lone one starts a field code.
std::string execOf(const std::filesystem::path& app) {
  const std::string path = app.string();
  bool plain = path.find_first_of(" \t\n\"'\\><~|&;$*?#()`=") == std::string::npos;
  std::string exec = plain ? "" : "\"";
  for (char c : path) {
    if (c == '%') exec += '%';
    if (!plain && (c == '"' || c == '`' || c == '$' || c == '\\')) exec += '\\';
    exec += c;
  }
  if (!plain) exec += '"';
  return exec;
}

std::optional<std::string> readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string word(bool on) {
  return on ? "on" : "off";
}

// The folders of an XDG search path variable, most important first; the rules ignore
// relative ones.
std::vector<std::filesystem::path> searchFolders(const char* variable, std::string_view fallback) {
  const char* value = std::getenv(variable);
  std::string_view list = value && *value ? value : fallback;
  std::vector<std::filesystem::path> folders;
  while (!list.empty()) {
    auto colon = list.find(':');
    std::filesystem::path folder(list.substr(0, colon));
    if (folder.is_absolute()) folders.push_back(folder);
    list = colon == std::string_view::npos ? "" : list.substr(colon + 1);
  }
  return folders;
}

}  // namespace

LoginItem LoginItem::here() {
  LoginItem item;
  item.autostart = KestlesPaths::configHome() / "autostart" / kEntryName;
  item.applications.push_back(KestlesPaths::dataHome() / "applications");
  for (const auto& folder : searchFolders("XDG_DATA_DIRS", "/usr/local/share:/usr/share"))
    item.applications.push_back(folder / "applications");
  for (const auto& folder : searchFolders("XDG_CONFIG_DIRS", "/etc/xdg"))
    item.systemAutostart.push_back(folder / "autostart");
  std::error_code error;
  item.app = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) item.app = "kestles-app";
  return item;
}

std::string LoginItem::entryText(std::optional<std::string_view> installed,
                                 const std::filesystem::path& app) {
  std::string text;
  if (installed) {
    bool inMain = false;
    std::string_view rest = *installed;
    while (!rest.empty()) {
      auto end = rest.find('\n');
      auto line = rest.substr(0, end);
      rest = end == std::string_view::npos ? "" : rest.substr(end + 1);
      if (line.starts_with('[')) {
        inMain = line == "[Desktop Entry]";
        if (inMain) text += "[Desktop Entry]\n";
        continue;
      }
      // The app is started once at login: the tool's Exec, its scheme handling and a
      // Hidden key (which would turn the autostart entry off) do not belong there.
      auto key = line.substr(0, line.find('='));
      while (!key.empty() && key.back() == ' ')
        key.remove_suffix(1);
      if (!inMain || key == "Exec" || key == "TryExec" || key == "MimeType" || key == "Hidden" ||
          key.starts_with("X-GNOME-Autostart"))
        continue;
      text += line;
      text += '\n';
    }
  }
  if (text.empty())
    text =
        "[Desktop Entry]\nType=Application\nName=Kestles\nComment=Arrange your windows in "
        "tiles\nTerminal=false\nNoDisplay=true\n";
  text += "Exec=" + execOf(app) + "\n";
  text += "X-GNOME-Autostart-enabled=true\n";
  return text;
}

std::optional<Failure> LoginItem::set(bool on) const {
  std::error_code error;
  bool systemEntry =
      std::any_of(systemAutostart.begin(), systemAutostart.end(), [](const auto& folder) {
        std::error_code missing;
        return std::filesystem::exists(folder / kEntryName, missing);
      });
  if (!on && systemEntry) return write(kHiddenEntry);
  if (!on) {
    std::filesystem::remove(autostart, error);
    if (!error) return std::nullopt;
    return Failure{"The autostart entry " + autostart.string() + " can’t be removed (" +
                   error.message() + ")."};
  }
  std::optional<std::string> installed;
  for (const auto& folder : applications)
    if ((installed = readFile(folder / kEntryName))) break;
  return write(entryText(installed, app));
}

std::optional<Failure> LoginItem::write(const std::string& text) const {
  try {
    std::filesystem::create_directories(autostart.parent_path());
    json_style::writeAtomically(autostart, text);
  } catch (const std::system_error& failure) {
    return Failure{"The autostart entry " + autostart.string() + " can’t be written (" +
                   failure.code().message() + ")."};
  }
  return std::nullopt;
}

std::optional<Failure> LoginItem::set(bool on, platform::LogSink& log) const {
  auto failure = set(on);
  if (failure)
    log.write({platform::LogLevel::error, platform::LogCategory::store,
               "Turning open at login " + word(on) + " failed: " + failure->message});
  else
    log.write(
        {platform::LogLevel::info, platform::LogCategory::store, "Open at login " + word(on)});
  return failure;
}

}  // namespace kestles::app
