#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "KestlesCore/model/Failure.hpp"
#include "KestlesEngine/platform/LogSink.hpp"

namespace kestles::app {

/// Opening Kestles at login: an XDG autostart entry, written from the installed desktop
/// entry and kept in step with the "opensAtLogin" default of the app's suite. The entry is
/// the only state there is; the default records what the user asked for.
struct LoginItem {
  /// The default in the app's suite that says whether Kestles opens at login.
  static constexpr const char* kDefaultKey = "opensAtLogin";
  /// The file name of Kestles's desktop entry and of its autostart entry.
  static constexpr const char* kEntryName = "co.quillmoss.Kestles.desktop";

  std::filesystem::path autostart;                  // the autostart entry to write or remove
  std::vector<std::filesystem::path> applications;  // where the installed entry is looked for
  std::filesystem::path app;                        // the kestles-app the entry starts
  /// The system's autostart folders ($XDG_CONFIG_DIRS): an entry of Kestles's there (the
  /// package puts one) starts it unless the user's own entry of that name hides it.
  std::vector<std::filesystem::path> systemAutostart;

  /// The places of this session: $XDG_CONFIG_HOME/autostart, the `applications` folders of
  /// $XDG_DATA_HOME and $XDG_DATA_DIRS (most important first), and this very program.
  static LoginItem here();

  /// The autostart entry's text: the installed entry's main group with its Exec replaced
  /// by the app (quoted as desktop entries quote), its scheme handling and other groups
  /// left out; a plain entry of Kestles's own when none is installed.
  static std::string entryText(std::optional<std::string_view> installed,
                               const std::filesystem::path& app);

  /// Writes the entry (on) or removes it (off; no entry is fine); off writes an entry that
  /// hides the system's where there is one. Returns the failure
  /// sentence when the entry could not be written or removed.
  std::optional<Failure> set(bool on) const;

  /// `set`, logged: "Open at login on" (info) or "Turning open at login on failed: …"
  /// (error).
  std::optional<Failure> set(bool on, platform::LogSink& log) const;

  /// The user's entry that turns the system's entry of the same name off.
  static constexpr const char* kHiddenEntry =
      "[Desktop Entry]\nType=Application\nName=Kestles\nHidden=true\n";

 private:
  std::optional<Failure> write(const std::string& text) const;
};

}  // namespace kestles::app
