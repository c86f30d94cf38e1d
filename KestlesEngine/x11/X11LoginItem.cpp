#include "KestlesEngine/x11/X11LoginItem.hpp"

#include <sstream>
#include <system_error>

#include "KestlesCore/coding/JSONFile.hpp"
#include "KestlesCore/library/KestlesPaths.hpp"
#include "KestlesEngine/platform/Environment.hpp"
#include "KestlesEngine/x11/X11Catalog.hpp"

namespace kestles::x11 {
namespace {

// The program as one quoted Exec argument: inside the quotes '"', '`', '$' and '\' take a
// backslash, '%' is doubled (field codes), and then every backslash is doubled again, as
// the file's string escapes are undone before the Exec line is split.
std::optional<std::string> execArgument(const std::string& program) {
  std::string quoted = "\"";
  for (char c : program) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return std::nullopt;
    if (c == '"' || c == '`' || c == '$') quoted += "\\\\";
    if (c == '\\') quoted += "\\\\\\";
    if (c == '%') quoted += '%';
    quoted += c;
  }
  return quoted + "\"";
}

bool turnsItOff(const std::string& line) {
  return line == "Hidden=true" || line == "X-GNOME-Autostart-enabled=false";
}

}  // namespace

std::filesystem::path X11LoginItem::defaultEntry() {
  return KestlesPaths::configHome() / "autostart" / (std::string(X11Catalog::kOwnID) + ".desktop");
}

X11LoginItem::X11LoginItem(std::filesystem::path entry,
                           std::optional<std::filesystem::path> program)
    : entry_(std::move(entry)), program_(program ? program : platform::executablePath()) {}

std::optional<std::string> X11LoginItem::entryText(const std::filesystem::path& program) {
  auto exec = execArgument(program.string());
  if (!exec) return std::nullopt;
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Kestles\n"
         "Exec=" +
         *exec +
         "\n"
         "X-GNOME-Autostart-enabled=true\n";
}

X11LoginItem::Status X11LoginItem::status() {
  std::optional<std::string> text;
  try {
    text = json_style::readFileIfPresent(entry_);
  } catch (const std::system_error&) {
    return Status::notRegistered;
  }
  if (!text) return Status::notRegistered;
  std::istringstream lines(*text);
  for (std::string line; std::getline(lines, line);)
    if (turnsItOff(line)) return Status::notRegistered;
  return Status::enabled;
}

std::optional<std::string> X11LoginItem::registerItem() {
  if (!program_) return "Couldn’t find the Kestles app to open at login.";
  auto text = entryText(*program_);
  if (!text)
    return "Couldn’t open Kestles at login: the path of the app, " + program_->string() +
           ", can’t be written in an autostart entry.";
  try {
    json_style::writeAtomically(entry_, *text);
  } catch (const std::system_error& error) {
    return "Couldn’t write " + entry_.string() + ": " + error.code().message();
  }
  return std::nullopt;
}

std::optional<std::string> X11LoginItem::unregisterItem() {
  std::error_code error;
  std::filesystem::remove(entry_, error);
  if (error) return "Couldn’t remove " + entry_.string() + ": " + error.message();
  return std::nullopt;
}

}  // namespace kestles::x11
