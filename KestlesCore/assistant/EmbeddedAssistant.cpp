#include "KestlesCore/assistant/EmbeddedAssistant.hpp"

#include <algorithm>
#include <array>
#include <set>

#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

using Situation = Assistant::Situation;

struct Word {
  std::string typed;  // as written, for an app the situation does not know
  std::string key;    // folded
  bool used = false;
};

using Clause = std::vector<Word>;

constexpr std::array<std::pair<std::string_view, std::string_view>, 4> kFractions{{
    {"2/3", " two thirds "},
    {"1/3", " third "},
    {"1/2", " half "},
    {"1/4", " quarter "},
}};

// Words that join two clauses, and marks that end one.
constexpr std::array<std::string_view, 6> kJoiners{"and", "then", "with", "plus", "while", "also"};
constexpr std::string_view kBreaks = ",;.!?:&+";

// Words that carry no app, place or display.
const std::set<std::string, std::less<>> kFillers{
    "a",       "an",     "the",    "on",     "in",     "at",    "of",     "to",    "into",
    "onto",    "put",    "place",  "move",   "open",   "show",  "my",     "me",    "window",
    "windows", "app",    "apps",   "please", "i",      "want",  "would",  "like",  "side",
    "part",    "area",   "go",     "goes",   "should", "be",    "it",     "its",   "s",
    "use",     "for",    "over",   "fill",   "fills",  "take",  "takes",  "have",  "keep",
    "by",      "screen", "one",    "space",  "up",     "down",  "across", "whole", "let",
    "lets",    "can",    "you",    "is",     "are",    "there", "here",   "just",  "arrange",
    "set",     "layout", "kestle", "called", "named"};

/// A kind of app a user may name instead of the app, and words of the apps of that kind.
struct AppKind {
  std::vector<std::string_view> words;
  std::vector<std::string_view> apps;
};

const std::vector<AppKind> kAppKinds{
    {{"terminal", "shell", "console"},
     {"terminal", "iterm", "iterm2", "xterm", "konsole", "alacritty", "kitty", "wezterm", "ghostty",
      "warp", "tilix", "terminator", "foot"}},
    {{"browser", "web"},
     {"firefox", "chrome", "chromium", "safari", "edge", "brave", "vivaldi", "opera", "arc",
      "epiphany", "librewolf"}},
    {{"mail", "email", "inbox"},
     {"mail", "thunderbird", "evolution", "outlook", "geary", "spark", "mailspring"}},
    {{"code", "editor", "ide"},
     {"code", "vscode", "codium", "vscodium", "zed", "sublime", "xcode", "gedit", "kate", "emacs",
      "vim", "neovim"}},
    {{"chat", "messages", "messaging"},
     {"slack", "discord", "teams", "messages", "signal", "telegram", "element"}},
    {{"music"}, {"music", "spotify", "rhythmbox"}},
    {{"notes"}, {"notes", "obsidian", "joplin"}},
    {{"calendar"}, {"calendar"}},
    {{"files", "finder"}, {"finder", "files", "nautilus", "dolphin", "thunar"}},
};

std::string withFractionsSpelled(std::string_view sentence) {
  std::string text(sentence);
  for (const auto& [fraction, words] : kFractions)
    for (auto at = text.find(fraction); at != std::string::npos; at = text.find(fraction, at))
      text.replace(at, fraction.size(), words);
  return text;
}

/// The words of a text, with an empty word for every mark that ends a clause.
std::vector<Word> lexed(std::string_view text) {
  std::vector<Word> words;
  std::string word;
  auto flush = [&] {
    if (word.empty()) return;
    words.push_back({word, text::folded(word)});
    word.clear();
  };
  for (const auto& character : text::characters(text)) {
    if (text::characterClass(character).isLetterOrDigit) {
      word += character;
      continue;
    }
    flush();
    if (character.size() == 1 && kBreaks.find(character[0]) != std::string_view::npos)
      words.push_back({});
  }
  flush();
  return words;
}

std::vector<std::string> keysOf(std::string_view text) {
  std::vector<std::string> keys;
  for (auto& word : lexed(text))
    if (!word.key.empty()) keys.push_back(std::move(word.key));
  return keys;
}

std::vector<Clause> clausesOf(std::string_view sentence) {
  std::vector<Clause> clauses(1);
  for (auto& word : lexed(withFractionsSpelled(sentence))) {
    bool joiner = std::find(kJoiners.begin(), kJoiners.end(), word.key) != kJoiners.end();
    if (word.key.empty() || joiner) {
      if (!clauses.back().empty()) clauses.emplace_back();
    } else {
      clauses.back().push_back(std::move(word));
    }
  }
  if (clauses.back().empty()) clauses.pop_back();
  return clauses;
}

struct Found {
  std::size_t start = 0, length = 0, name = 0;
};

/// The longest run of unused words equal to one of the names (each a list of words); the
/// earlier name wins a tie.
std::optional<Found> longestName(const Clause& clause,
                                 const std::vector<std::vector<std::string>>& names) {
  std::optional<Found> best;
  for (std::size_t start = 0; start < clause.size(); ++start)
    for (std::size_t n = 0; n < names.size(); ++n) {
      const auto& name = names[n];
      if (name.empty() || start + name.size() > clause.size()) continue;
      if (best && name.size() <= best->length) continue;
      bool equal = true;
      for (std::size_t i = 0; equal && i < name.size(); ++i)
        equal = !clause[start + i].used && clause[start + i].key == name[i];
      if (equal) best = Found{start, name.size(), n};
    }
  return best;
}

void use(Clause& clause, const Found& found) {
  for (std::size_t i = 0; i < found.length; ++i)
    clause[found.start + i].used = true;
}

std::optional<int> numberWord(std::string_view key) {
  constexpr std::array<std::string_view, 5> kNumbers{"one", "two", "three", "four", "five"};
  for (std::size_t i = 0; i < kNumbers.size(); ++i)
    if (key == kNumbers[i]) return static_cast<int>(i + 1);
  if (key.size() == 1 && key[0] >= '1' && key[0] <= '9') return key[0] - '0';
  return std::nullopt;
}

/// The situation's apps and displays as lists of words to look for in a sentence.
struct Lexicon {
  std::vector<AppRef> apps;
  std::vector<std::vector<std::string>> appNames;  // name words, then bundle id parts
  std::vector<std::size_t> appOfName;
  std::vector<std::vector<std::string>> displayNames;
  std::vector<std::vector<std::string>> appWords;  // per app: its name's and bundle id's words

  explicit Lexicon(const Situation& situation) : apps(situation.knownApps()) {
    for (std::size_t i = 0; i < apps.size(); ++i) {
      appNames.push_back(keysOf(apps[i].name));
      appOfName.push_back(i);
      appWords.push_back(appNames.back());
      auto parts = keysOf(apps[i].bundleID);
      appWords.back().insert(appWords.back().end(), parts.begin(), parts.end());
    }
    // The last part of a bundle id names an app too ("firefox" of "org.mozilla.firefox").
    for (std::size_t i = 0; i < apps.size(); ++i) {
      auto dot = apps[i].bundleID.rfind('.');
      appNames.push_back(keysOf(apps[i].bundleID.substr(dot == std::string::npos ? 0 : dot + 1)));
      appOfName.push_back(i);
    }
    for (const auto& display : situation.displays)
      displayNames.push_back(keysOf(display.name));
  }

  /// The first known app of the kind: one whose name or bundle id has one of its words.
  std::optional<AppRef> appOfKind(const AppKind& kind) const {
    for (std::size_t i = 0; i < apps.size(); ++i)
      for (const auto& word : appWords[i])
        if (std::find(kind.apps.begin(), kind.apps.end(), word) != kind.apps.end()) return apps[i];
    return std::nullopt;
  }
};

std::optional<int> firstDisplay(const Situation& situation, auto&& wanted) {
  for (std::size_t i = 0; i < situation.displays.size(); ++i)
    if (wanted(situation.displays[i], static_cast<int>(i + 1))) return static_cast<int>(i + 1);
  return std::nullopt;
}

/// What a word before "display" says about which one.
std::optional<std::optional<int>> qualified(std::string_view key, bool sideways,
                                            const Situation& situation) {
  int count = static_cast<int>(situation.displays.size());
  int inUse = situation.inUseNumber();
  if (key == "first") return 1;
  if (key == "second") return 2;
  if (key == "third") return 3;
  if (key == "fourth") return 4;
  if (key == "last") return count;
  if (key == "this" || key == "current") return inUse;
  if (key == "external")
    return firstDisplay(situation, [](const DisplayInfo& d, int) { return !d.isBuiltIn; });
  if (key == "other")
    return firstDisplay(situation, [&](const DisplayInfo&, int n) { return n != inUse; });
  if (key == "builtin" || key == "internal" || key == "laptop")
    return firstDisplay(situation, [](const DisplayInfo& d, int) { return d.isBuiltIn; });
  if (key == "main" || key == "primary")
    return firstDisplay(situation, [](const DisplayInfo& d, int) { return d.isMain; });
  if (sideways && (key == "left" || key == "leftmost")) return 1;
  if (sideways && (key == "right" || key == "rightmost")) return count;
  return std::nullopt;
}

/// The display a clause names, if any: a display's own name, a word with "display", "monitor"
/// or "screen" ("display 2", "the external monitor", "second screen"), or "laptop" or
/// "external" alone. The outer optional says whether a display was named at all.
std::optional<std::optional<int>> displayIn(Clause& clause, const Situation& situation,
                                            const Lexicon& lexicon) {
  if (auto found = longestName(clause, lexicon.displayNames)) {
    use(clause, *found);
    return static_cast<int>(found->name + 1);
  }
  for (std::size_t k = 0; k < clause.size(); ++k) {
    const auto& key = clause[k].key;
    if (clause[k].used || (key != "display" && key != "monitor" && key != "screen")) continue;
    bool isScreen = key == "screen";
    if (k + 1 < clause.size() && !clause[k + 1].used)
      if (auto number = numberWord(clause[k + 1].key)) {
        clause[k].used = clause[k + 1].used = true;
        return number;
      }
    if (k > 0 && !clause[k - 1].used) {
      // "built-in" comes as two words.
      bool builtIn = k > 1 && clause[k - 2].key == "built" && clause[k - 1].key == "in";
      auto which = qualified(builtIn ? "builtin" : clause[k - 1].key, !isScreen, situation);
      if (which) {
        clause[k].used = clause[k - 1].used = true;
        if (builtIn) clause[k - 2].used = true;
        return which;
      }
    }
    if (!isScreen) {
      clause[k].used = true;
      return std::optional<int>{};
    }
  }
  // A display named without "display": "on the laptop", "on the built-in".
  for (std::size_t k = 0; k < clause.size(); ++k) {
    bool builtIn = k + 1 < clause.size() && clause[k].key == "built" && clause[k + 1].key == "in";
    const auto& key = builtIn ? std::string("builtin") : clause[k].key;
    if (clause[k].used ||
        (key != "laptop" && key != "external" && key != "builtin" && key != "internal"))
      continue;
    clause[k].used = true;
    if (builtIn) clause[k + 1].used = true;
    return qualified(key, false, situation).value_or(std::nullopt);
  }
  return std::nullopt;
}

/// A place as read from a clause: a whole place, or only its kind when no side was named
/// ("a third"), to be given the first free side on its display.
struct PlaceReading {
  enum class Kind { none, half, third, twoThirds, quarter };
  std::optional<AssistantPlace> place;
  Kind kind = Kind::none;
};

/// The words that make up a place.
enum class PlaceWord { left, right, top, bottom, middle, half, third, twoThirds, quarter, full };

constexpr std::array<std::pair<std::string_view, PlaceWord>, 25> kPlaceWords{{
    {"left", PlaceWord::left},       {"leftmost", PlaceWord::left},
    {"right", PlaceWord::right},     {"rightmost", PlaceWord::right},
    {"top", PlaceWord::top},         {"upper", PlaceWord::top},
    {"bottom", PlaceWord::bottom},   {"lower", PlaceWord::bottom},
    {"middle", PlaceWord::middle},   {"center", PlaceWord::middle},
    {"centre", PlaceWord::middle},   {"centered", PlaceWord::middle},
    {"centred", PlaceWord::middle},  {"half", PlaceWord::half},
    {"halves", PlaceWord::half},     {"third", PlaceWord::third},
    {"thirds", PlaceWord::third},    {"twothirds", PlaceWord::twoThirds},
    {"quarter", PlaceWord::quarter}, {"corner", PlaceWord::quarter},
    {"full", PlaceWord::full},       {"fullscreen", PlaceWord::full},
    {"maximized", PlaceWord::full},  {"maximised", PlaceWord::full},
    {"whole", PlaceWord::full},
}};

PlaceReading placeIn(Clause& clause) {
  std::set<PlaceWord> said;
  for (std::size_t i = 0; i < clause.size(); ++i) {
    auto& word = clause[i];
    auto entry = std::find_if(kPlaceWords.begin(), kPlaceWords.end(),
                              [&](const auto& pair) { return pair.first == word.key; });
    if (word.used || entry == kPlaceWords.end()) continue;
    word.used = true;
    auto placeWord = entry->second;
    // "two thirds" is two words.
    if (placeWord == PlaceWord::third && i > 0 &&
        (clause[i - 1].key == "two" || clause[i - 1].key == "2")) {
      placeWord = PlaceWord::twoThirds;
      clause[i - 1].used = true;
    }
    said.insert(placeWord);
  }
  auto saw = [&](PlaceWord word) { return said.contains(word); };
  bool full = saw(PlaceWord::full), twoThirds = saw(PlaceWord::twoThirds),
       third = saw(PlaceWord::third), quarter = saw(PlaceWord::quarter),
       half = saw(PlaceWord::half), left = saw(PlaceWord::left), right = saw(PlaceWord::right),
       top = saw(PlaceWord::top), bottom = saw(PlaceWord::bottom), middle = saw(PlaceWord::middle);
  using P = AssistantPlace;
  using K = PlaceReading::Kind;
  if (full) return {P::full};
  if (twoThirds)
    return left    ? PlaceReading{P::leftTwoThirds}
           : right ? PlaceReading{P::rightTwoThirds}
                   : PlaceReading{{}, K::twoThirds};
  if (third)
    return left     ? PlaceReading{P::leftThird}
           : right  ? PlaceReading{P::rightThird}
           : middle ? PlaceReading{P::middleThird}
                    : PlaceReading{{}, K::third};
  if ((top || bottom) && (left || right))
    return {top ? (left ? P::topLeft : P::topRight) : (left ? P::bottomLeft : P::bottomRight)};
  if (quarter) return {{}, K::quarter};
  if (left) return {P::leftHalf};
  if (right) return {P::rightHalf};
  if (top) return {P::topHalf};
  if (bottom) return {P::bottomHalf};
  if (middle) return {P::center};
  if (half) return {{}, K::half};
  return {};
}

/// A known app the clause names by its name or its bundle id's last part.
std::optional<std::string> namedAppIn(Clause& clause, const Lexicon& lexicon) {
  auto found = longestName(clause, lexicon.appNames);
  if (!found) return std::nullopt;
  use(clause, *found);
  return lexicon.apps[lexicon.appOfName[found->name]].name;
}

/// What else names an app once names, displays and places are read: a kind of app that a
/// known app is, else the clause's leftover words as typed. Nothing when no word is left.
std::optional<std::string> describedAppIn(Clause& clause, const Lexicon& lexicon) {
  for (auto& word : clause) {
    if (word.used) continue;
    for (const auto& kind : kAppKinds)
      if (std::find(kind.words.begin(), kind.words.end(), word.key) != kind.words.end())
        if (auto app = lexicon.appOfKind(kind)) {
          word.used = true;
          return app->name;
        }
  }
  std::vector<std::string> leftover;
  for (auto& word : clause)
    if (!word.used && !kFillers.contains(word.key)) leftover.push_back(word.typed);
  if (leftover.empty()) return std::nullopt;
  return text::joined(leftover, " ");
}

struct Reading {
  std::string app;
  std::optional<std::optional<int>> display;
  PlaceReading place;
};

std::vector<AssistantPlace> candidates(PlaceReading::Kind kind, bool alone) {
  using P = AssistantPlace;
  switch (kind) {
    case PlaceReading::Kind::third:
      return {P::leftThird, P::middleThird, P::rightThird};
    case PlaceReading::Kind::twoThirds:
      return {P::leftTwoThirds, P::rightTwoThirds};
    case PlaceReading::Kind::quarter:
      return {P::topLeft, P::topRight, P::bottomLeft, P::bottomRight};
    case PlaceReading::Kind::half:
      return {P::leftHalf, P::rightHalf};
    case PlaceReading::Kind::none:
      break;
  }
  if (alone) return {P::full};
  return {P::leftHalf, P::rightHalf, P::full};
}

bool overlaps(AssistantPlace a, AssistantPlace b) {
  auto overlap = unitRect(a).intersection(unitRect(b));
  return overlap && overlap->area() > 1e-9;
}

/// Gives every window without a side the first place of its kind that no other window on
/// its display covers yet (the first one when all are covered).
void completePlaces(AssistantIdea& idea, const std::vector<PlaceReading>& readings,
                    const Situation& situation) {
  auto displayOf = [&](const AssistantIdea::Window& w) { return situation.resolved(w.display); };
  for (std::size_t i = 0; i < idea.windows.size(); ++i) {
    if (readings[i].place) continue;
    std::vector<AssistantPlace> taken;
    std::size_t sharing = 0;
    for (std::size_t j = 0; j < idea.windows.size(); ++j) {
      if (j == i || displayOf(idea.windows[j]) != displayOf(idea.windows[i])) continue;
      ++sharing;
      if (readings[j].place || j < i) taken.push_back(idea.windows[j].place);
    }
    auto options = candidates(readings[i].kind, sharing == 0);
    auto free = std::find_if(options.begin(), options.end(), [&](AssistantPlace place) {
      return std::none_of(taken.begin(), taken.end(),
                          [&](AssistantPlace other) { return overlaps(place, other); });
    });
    idea.windows[i].place = free != options.end() ? *free : options.front();
  }
}

/// Letters, but not one of them Latin: a language the embedded model cannot read.
bool isInAnotherScript(std::string_view sentence) {
  auto latin = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  return !text::lettersAndDigits(sentence).empty() &&
         std::none_of(sentence.begin(), sentence.end(), latin);
}

std::string ideaName(const AssistantIdea& idea) {
  std::vector<std::string> names;
  for (const auto& window : idea.windows)
    if (std::find(names.begin(), names.end(), window.app) == names.end())
      names.push_back(window.app);
  return text::joined(names, " & ");
}

}  // namespace

AssistantAnswer EmbeddedAssistant::answer(const AssistantRequest& request) {
  return read(request.sentence, request.situation);
}

AssistantAnswer EmbeddedAssistant::read(std::string_view sentence, const Situation& situation) {
  using Kind = AssistantTrouble::Kind;
  if (auto trouble = Assistant::troubleWith(sentence)) return *trouble;
  Lexicon lexicon(situation);
  std::vector<Reading> readings;
  std::set<std::optional<int>> displaysNamed;
  for (auto& clause : clausesOf(sentence)) {
    Reading reading;
    reading.display = displayIn(clause, situation, lexicon);
    // Names first, so that an app called "Left" stays an app; then the place words, and
    // only what is left of the clause may still be a kind of app or an unknown name.
    auto app = namedAppIn(clause, lexicon);
    reading.place = placeIn(clause);
    if (!app) app = describedAppIn(clause, lexicon);
    if (reading.display) displaysNamed.insert(*reading.display);
    if (app) {
      reading.app = std::move(*app);
      readings.push_back(std::move(reading));
    } else if (!readings.empty()) {
      // "Firefox, on the left": a clause without an app finishes the one before.
      auto& last = readings.back();
      if (!last.place.place && last.place.kind == PlaceReading::Kind::none)
        last.place = reading.place;
      if (!last.display) last.display = reading.display;
    }
  }
  // Words of another script read as unknown apps; unless one of them is a known app's name,
  // the sentence was not understood at all.
  bool knowsAnApp = std::any_of(readings.begin(), readings.end(), [&](const Reading& reading) {
    return Assistant::matchApp(reading.app, lexicon.apps).has_value();
  });
  if (!knowsAnApp && isInAnotherScript(sentence))
    return AssistantTrouble::of(Kind::unsupportedLanguage);
  if (readings.empty()) return AssistantTrouble::of(Kind::other);
  // Checked before the places are worked out, which costs more the more windows there are.
  if (readings.size() > Assistant::kMostWindows) return AssistantTrouble::of(Kind::tooMuch);
  AssistantIdea idea;
  std::vector<PlaceReading> places;
  for (const auto& reading : readings) {
    // A display named once holds every window that names none: "code left, terminal right
    // on the external display".
    auto display = reading.display             ? *reading.display
                   : displaysNamed.size() == 1 ? *displaysNamed.begin()
                                               : std::nullopt;
    idea.windows.push_back(
        {reading.app, display, reading.place.place.value_or(AssistantPlace::full)});
    places.push_back(reading.place);
  }
  completePlaces(idea, places, situation);
  idea.name = ideaName(idea);
  return idea;
}

}  // namespace kestles
