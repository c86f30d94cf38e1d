#include "kestles/Completions.hpp"

#include <algorithm>
#include <regex>
#include <sstream>

#include "KestlesCore/command/CommandVocabulary.hpp"
#include "KestlesCore/command/KestlesPage.hpp"
#include "KestlesCore/command/Lesson.hpp"
#include "KestlesCore/command/Tip.hpp"
#include "KestlesCore/command/TourPage.hpp"
#include "KestlesCore/snap/SnapAction.hpp"
#include "KestlesCore/tiling/TilingStyle.hpp"
#include "kestles/HelpText.hpp"

namespace kestles::tool {
namespace {

/// The usage lines of the help text: two spaces, then a command word.
std::vector<std::string> usageLines() {
  std::vector<std::string> lines;
  std::istringstream text(helpText());
  for (std::string line; std::getline(text, line);)
    if (line.size() > 2 && line.starts_with("  ") && line[2] >= 'a' && line[2] <= 'z')
      lines.push_back(line.substr(2, line.find("   ", 2) - 2));
  return lines;
}

void addUnique(std::vector<std::string>& words, std::string word) {
  if (std::find(words.begin(), words.end(), word) == words.end()) words.push_back(std::move(word));
}

/// The options ("--display") and the choices of "a | b" groups on one usage line.
std::vector<std::string> followersOf(const std::string& usage) {
  std::vector<std::string> words;
  static const std::regex option("--[a-z-]+");
  for (std::sregex_iterator it(usage.begin(), usage.end(), option), end; it != end; ++it)
    addUnique(words, it->str());
  static const std::regex choices("[<\\[]([a-z -]+(\\|[a-z -]+)+)[>\\]]");
  for (std::sregex_iterator it(usage.begin(), usage.end(), choices), end; it != end; ++it) {
    std::istringstream group(it->str(1));
    for (std::string word; std::getline(group, word, '|');) {
      word.erase(std::remove(word.begin(), word.end(), ' '), word.end());
      // A placeholder such as "pixels" stands for a number, not a word to type.
      if (word != "pixels") addUnique(words, word);
    }
  }
  return words;
}

template <class Values, class Spell>
void addEach(std::vector<std::string>& words, const Values& values, Spell spell) {
  for (const auto& value : values)
    addUnique(words, std::string(spell(value)));
}

void addVocabularies(CompletionWords& words) {
  addEach(words.following["snap"], allSnapActions(),
          [](SnapAction action) { return commandLineSpelling(action); });
  for (auto style : allTilingStyles())
    addUnique(words.following["tile"], std::string(commandLineWord(style)));
  for (auto page : {KestlesPage::kestles, KestlesPage::layouts, KestlesPage::rules,
                    KestlesPage::tiling, KestlesPage::keys, KestlesPage::general})
    addUnique(words.following["open"], std::string(name(page)));
  using Fixed = TourPage::Fixed;
  for (auto page :
       {Fixed::welcome, Fixed::permission, Fixed::settings, Fixed::firstKestle, Fixed::chapters})
    addUnique(words.following["welcome"], spelling(TourPage{page}));
  for (auto lesson : allLessons()) {
    for (const char* command : {"tour", "welcome"})
      addUnique(words.following[command], std::string(spelling(lesson)));
    // The panel's lesson has nothing to play on the practice desktop.
    if (lesson != Lesson::panel)
      addUnique(words.following["show-me"], std::string(spelling(lesson)));
  }
  addEach(words.following["tip"], allTips(), [](Tip tip) { return spelling(tip); });
  words.looked[std::string(commandWord(CommandName::kestle))] = "kestles";
  words.looked[std::string(commandWord(CommandName::save))] = "kestles";
  words.looked[std::string(commandWord(CommandName::layout))] = "layouts";
  words.looked["import"] = "files";
  words.looked["export"] = "files";
}

std::string namesOf(std::string_view listing) {
  return "$(kestles list " + std::string(listing) + " 2>/dev/null)";
}

std::string joined(const std::vector<std::string>& words) {
  std::string text;
  for (const auto& word : words)
    text += (text.empty() ? "" : " ") + word;
  return text;
}

std::string bashScript(const CompletionWords& words) {
  std::string script =
      "# bash completion for kestles\n_kestles() {\n"
      "  local cur=${COMP_WORDS[COMP_CWORD]} words=\"\"\n"
      "  if [ \"$COMP_CWORD\" -eq 1 ]; then\n    words=\"" +
      joined(words.commands) + "\"\n  else\n    case ${COMP_WORDS[1]} in\n";
  // Names may hold spaces: they are offered one a line.
  for (const auto& [command, looked] : words.looked) {
    if (looked == "files") {
      script += "      " + command +
                ") compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -- \"$cur\"))"
                "; return ;;\n";
      continue;
    }
    auto found = words.following.find(command);
    auto options = found == words.following.end() ? std::string() : joined(found->second);
    script += "      " + command + ") local IFS=$'\\n'; COMPREPLY=($(compgen -W \"" +
              namesOf(looked) + "\"$'\\n'\"" + options + "\" -- \"$cur\")); return ;;\n";
  }
  for (const auto& [command, following] : words.following)
    if (!words.looked.contains(command))
      script += "      " + command + ") words=\"" + joined(following) + "\" ;;\n";
  return script +
         "    esac\n  fi\n  COMPREPLY=($(compgen -W \"$words\" -- \"$cur\"))\n}\n"
         "complete -F _kestles kestles\n";
}

std::string zshScript(const CompletionWords& words) {
  std::string script =
      "#compdef kestles\n_kestles() {\n  if (( CURRENT == 2 )); then\n"
      "    compadd -- " +
      joined(words.commands) + "\n    return\n  fi\n  case $words[2] in\n";
  for (const auto& [command, looked] : words.looked) {
    if (looked == "files") {
      script += "    " + command + ") _files ;;\n";
      continue;
    }
    auto found = words.following.find(command);
    auto options = found == words.following.end() ? std::string() : joined(found->second);
    script += "    " + command + ") local -a names; names=(\"${(@f)" + namesOf(looked) +
              "}\"); compadd -a names; compadd -- " + options + " ;;\n";
  }
  for (const auto& [command, following] : words.following)
    if (!words.looked.contains(command))
      script += "    " + command + ") compadd -- " + joined(following) + " ;;\n";
  return script + "  esac\n}\n_kestles \"$@\"\n";
}

std::string fishScript(const CompletionWords& words) {
  std::string script =
      "# fish completion for kestles\ncomplete -c kestles -f\n"
      "complete -c kestles -n '__fish_use_subcommand' -a '" +
      joined(words.commands) + "'\n";
  for (const auto& [command, following] : words.following)
    script += "complete -c kestles -n '__fish_seen_subcommand_from " + command + "' -a '" +
              joined(following) + "'\n";
  for (const auto& [command, looked] : words.looked) {
    script += "complete -c kestles -n '__fish_seen_subcommand_from " + command + "' ";
    if (looked == "files")
      script += "-F\n";
    else
      script += "-a '(kestles list " + looked + " 2>/dev/null)'\n";
  }
  return script;
}

}  // namespace

CompletionWords completionWords() {
  CompletionWords words;
  // The commands come from the vocabulary, so that none is missing; the help text adds the
  // tool's own (help, list, export…) and what follows each command.
  for (auto word : commandLineWords())
    words.commands.emplace_back(word);
  for (const auto& usage : usageLines()) {
    // "next, previous" lists two commands; "tile --all-displays" a command and an option.
    std::istringstream names(usage.substr(0, usage.find_first_of("<[")));
    std::string first;
    bool listed = true;
    for (std::string name; names >> name;) {
      bool comma = name.ends_with(',');
      if (comma) name.pop_back();
      if (listed) {
        addUnique(words.commands, name);
        if (first.empty()) first = name;
      } else {
        addUnique(words.following[first], name);
      }
      listed = comma;
    }
    for (auto& follower : followersOf(usage))
      if (std::find(words.commands.begin(), words.commands.end(), follower) == words.commands.end())
        addUnique(words.following[first], std::move(follower));
  }
  addVocabularies(words);
  std::erase_if(words.following, [](const auto& entry) { return entry.second.empty(); });
  return words;
}

std::optional<std::string> completionScript(std::string_view shell) {
  auto words = completionWords();
  if (shell == "bash") return bashScript(words);
  if (shell == "zsh") return zshScript(words);
  if (shell == "fish") return fishScript(words);
  return std::nullopt;
}

}  // namespace kestles::tool
