#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestles::x11 {

/// One application's desktop entry: its id (the file's path below `applications/`, slashes
/// turned into hyphens, without ".desktop") and the keys the layer uses.
struct DesktopEntry {
  std::string id;
  std::string name;
  std::string startupWMClass;
  std::string exec;
  bool operator==(const DesktopEntry&) const = default;
};

/// What a window says about the app that owns it.
struct WindowIdentity {
  std::string gtkApplicationID;  // _GTK_APPLICATION_ID
  std::string kdeDesktopFile;    // _KDE_NET_WM_DESKTOP_FILE
  std::string windowClass;       // the class half of WM_CLASS
};

/// Reads the "[Desktop Entry]" group of a file's text, with bytes that are not UTF-8 read as
/// U+FFFD. Nothing unless it is an application that is shown (Type=Application, neither
/// NoDisplay nor Hidden true) and has a name.
std::optional<DesktopEntry> parseDesktopEntry(std::string_view contents, std::string id);

/// The program and arguments of an `Exec` value: words split at unquoted spaces, double
/// quotes and their backslash escapes resolved, field codes (%f, %U, ...) removed and "%%"
/// turned into "%". Empty when the value is empty or a quote is left open.
std::vector<std::string> execArguments(std::string_view exec);

/// The `applications` folders of the XDG data folders, most important first:
/// $XDG_DATA_HOME (default ~/.local/share), then $XDG_DATA_DIRS (default
/// /usr/local/share:/usr/share).
std::vector<std::filesystem::path> applicationFolders();

/// The shown applications of a set of folders; an id found in an earlier folder hides the
/// same id in later ones, even when the earlier entry is hidden.
class DesktopEntries {
 public:
  DesktopEntries() = default;
  explicit DesktopEntries(std::vector<DesktopEntry> entries) : entries_(std::move(entries)) {}

  /// Scans the folders (recursively); unreadable folders and files contribute nothing.
  static DesktopEntries scan(const std::vector<std::filesystem::path>& folders);

  const std::vector<DesktopEntry>& entries() const { return entries_; }

  /// The file an entry was read from (for entries found by `scan`).
  std::optional<std::filesystem::path> pathOf(std::string_view id) const;

  /// The entry of a window's app, in order: the GTK application id, the KDE desktop file,
  /// an entry whose StartupWMClass equals the class, an entry whose id equals the class
  /// (ASCII case ignored). Nothing when none matches.
  const DesktopEntry* match(const WindowIdentity& identity) const;

  /// Where the app with this identifier starts from: the file of the entry with the id, else
  /// of the entry the id names as a window class (as `match` finds it: the X11 layer gives an
  /// app without an entry its class as identifier), else a program of that name (as given,
  /// then lower-cased: "XClock" runs `xclock`) in a folder of `searchPath` (a PATH value).
  /// Nothing when there is none of them.
  std::optional<std::filesystem::path> locate(std::string_view id,
                                              std::string_view searchPath) const;

 private:
  const DesktopEntry* withID(std::string_view id) const;
  std::vector<DesktopEntry> entries_;
  std::vector<std::filesystem::path> paths_;  // beside `entries_` when scanned
};

}  // namespace kestles::x11
