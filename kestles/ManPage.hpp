#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestles::tool {

/// A manual page, written in roff for man(1) from the same words as a program's help.
struct ManPage {
  struct Entry {
    std::string usage;    // "tile [--display <display>]"
    std::string summary;  // whole sentences
  };
  struct Section {
    std::string title;  // "FILES"
    std::string text;   // paragraphs separated by blank lines
  };

  std::string name;      // "kestles"
  std::string section;   // "1"
  std::string purpose;   // the NAME line's text after the dash
  std::string synopsis;  // "kestles <command> [arguments]"
  std::string commandsTitle = "COMMANDS";
  std::vector<Entry> commands;
  std::vector<Section> sections;  // after the commands

  /// The entries of a help text: each line indented by two spaces that starts with a
  /// lower-case word or an option is a usage, its description the text after a run of
  /// spaces and the more deeply indented lines below. Other lines are left out.
  static std::vector<Entry> entriesOfHelp(std::string_view help);

  /// The page in roff, with backslashes, leading dots and hyphens escaped.
  std::string roff(std::string_view version) const;
};

}  // namespace kestles::tool
