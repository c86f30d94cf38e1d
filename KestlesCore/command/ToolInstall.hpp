#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kestles {

/// Where the `kestles` command gets linked so that a terminal finds it. Pure planning: the app
/// inspects the folders, this turns what it found into a plan and the texts that carry it out.
struct ToolInstall {
  /// What the app found about one candidate folder.
  struct Place {
    std::string directory;
    bool exists = false;
    bool isWritable = false;
    std::optional<std::string> link;  // where an existing "kestles" link there points
    bool operator==(const Place&) const = default;
  };

  struct Plan {
    /// The command is already there, at `path`.
    struct Installed {
      std::string path;
      bool operator==(const Installed&) const = default;
    };
    /// The app can make the link itself.
    struct Link {
      std::string target;
      std::string directory;
      bool operator==(const Link&) const = default;
    };
    /// The link needs administrator rights.
    struct LinkAsAdministrator {
      std::string target;
      std::string directory;
      bool operator==(const LinkAsAdministrator&) const = default;
    };
    std::variant<Installed, Link, LinkAsAdministrator> value;
    bool operator==(const Plan&) const = default;
  };

  /// The candidate folders on a Mac, in the order they are tried.
  static const std::vector<std::string>& candidates();

  /// The candidate folders on Linux: the user's own ~/.local/bin, then /usr/local/bin.
  static std::vector<std::string> linuxCandidates(const std::string& home);

  /// The first place already linked to the target, else the first existing writable one, else
  /// a link as administrator into `administratorDirectory`.
  static Plan plan(const std::string& target, const std::vector<Place>& places,
                   const std::string& administratorDirectory = "/usr/local/bin");

  /// The script that makes the link with administrator rights, after the system's prompt.
  static std::string administratorScript(const std::string& target, const std::string& directory);

  /// A command to paste into a terminal that makes the link in /usr/local/bin with sudo.
  static std::string terminalCommand(const std::string& target);

  /// The Linux form: sudo only for a folder that needs it, none for the user's own folder.
  static std::string linuxTerminalCommand(const std::string& target, const std::string& directory,
                                          bool asAdministrator);

  /// The text quoted for a POSIX shell: wrapped in single quotes, each ' written as '\''.
  static std::string shellQuoted(const std::string& text);
};

}  // namespace kestles
