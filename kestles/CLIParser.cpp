#include "kestles/CLIParser.hpp"

#include <algorithm>
#include <array>
#include <vector>

#include "KestlesCore/command/CommandVocabulary.hpp"
#include "KestlesCore/command/CommandWords.hpp"
#include "KestlesCore/command/PlainCommand.hpp"
#include "KestlesCore/model/EnumTable.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles::tool {
namespace {

using C = KestlesCommand;
using Words = std::span<const std::string>;
using text::quoted;

std::string joinedWords(Words words) {
  return text::joined(words, " ");
}

CLIRequest send(KestlesCommand command) {
  return {CLIRequest::Send{std::move(command)}};
}

ParseResult fail(std::string message) {
  return Failure{std::move(message)};
}

/// The options of `tile`; "--display" and "--app" also end the words of other commands.
enum class TileOption { display, app, frontApp, style, allDisplays };

struct TileOptionWords {
  TileOption value;
  std::string_view longForm;
  std::string_view shortForm;  // empty: none
  bool takesValue;
};

constexpr EnumTable kTileOptions{std::to_array<TileOptionWords>({
    {TileOption::display, "--display", "-d", true},
    {TileOption::app, "--app", "-a", true},
    {TileOption::frontApp, "--front-app", "", false},
    {TileOption::style, "--style", "-s", true},
    {TileOption::allDisplays, "--all-displays", "", false},
})};

/// Option words are matched exactly as typed.
std::optional<TileOption> tileOption(std::string_view word) {
  if (word.empty()) return std::nullopt;
  if (auto option = kTileOptions.find(&TileOptionWords::longForm, word)) return option;
  return kTileOptions.find(&TileOptionWords::shortForm, word);
}

/// The words before the first spelling of an option, the option as typed, and the words after.
struct OptionSplit {
  Words before;
  std::optional<std::string> option;
  Words after;
};

OptionSplit splitAtOption(Words words, TileOption option) {
  auto it = std::find_if(words.begin(), words.end(),
                         [&](const std::string& word) { return tileOption(word) == option; });
  if (it == words.end()) return {words, std::nullopt, {}};
  auto index = static_cast<std::size_t>(it - words.begin());
  return {words.first(index), *it, words.subspan(index + 1)};
}

/// State words: nothing toggles, "on" and "off" set; anything else is not a state.
struct StateWords {
  bool valid = false;
  std::optional<bool> on;
};

StateWords readStateWords(Words words) {
  auto word = text::lowercased(joinedWords(words));
  if (word.empty()) return {true, std::nullopt};
  auto on = stateOfWord(word);
  if (!on) return {};
  return {true, on};
}

std::string displayNeeded(const std::string& option) {
  return option + " needs a display’s name, like: --display Studio Display";
}

std::string appNeeded(const std::string& option) {
  return option + " needs an app’s name, like: --app Firefox";
}

ParseResult parseLayout(Words words) {
  auto split = splitAtOption(words, TileOption::display);
  auto name = joinedWords(split.before);
  if (name.empty()) return fail("layout needs a layout’s name, like: kestles layout Halves");
  std::optional<std::string> display;
  if (split.option) {
    display = joinedWords(split.after);
    if (display->empty()) return fail(displayNeeded(*split.option));
  }
  return send({C::Layout{name, display}});
}

ParseResult parseKeepTiled(Words words) {
  auto split = splitAtOption(words, TileOption::display);
  auto state = readStateWords(split.before);
  if (!state.valid)
    return fail("keep-tiled takes on, off or nothing, not " + quoted(joinedWords(split.before)) +
                ".");
  std::optional<std::string> display;
  if (split.option) {
    display = joinedWords(split.after);
    if (display->empty()) return fail(displayNeeded(*split.option));
  }
  return send({C::KeepTiled{state.on, display}});
}

ParseResult parseLeaveOut(Words words) {
  auto split = splitAtOption(words, TileOption::app);
  auto state = readStateWords(split.before);
  if (!state.valid)
    return fail("leave-out takes on, off or nothing, not " + quoted(joinedWords(split.before)) +
                ", like: kestles leave-out on --app Firefox");
  std::optional<std::string> app;
  if (split.option) {
    app = joinedWords(split.after);
    if (app->empty()) return fail(appNeeded(*split.option));
  }
  return send({C::LeaveOut{state.on, app}});
}

ParseResult parseSnap(const std::string& rest) {
  if (rest.empty()) return fail("snap needs a place. Places: " + placesList());
  auto action = readSnapAction(rest);
  if (!action) return fail("There’s no place called " + quoted(rest) + ". Places: " + placesList());
  return send({C::Snap{*action}});
}

ParseResult parseSwapDisplays(const std::string& rest) {
  if (rest.empty()) return send({C::SwapDisplays{1}});
  if (text::lowercased(rest) == kBackWord) return send({C::SwapDisplays{-1}});
  return fail("swap-displays takes back or nothing, not " + quoted(rest) + ".");
}

ParseResult parseEdge(CommandName name, const std::string& rest) {
  if (rest.empty())
    return fail(std::string(commandWord(name)) + " needs a way. Ways: left, right, up, down");
  auto edge = readTileEdge(text::lowercased(rest));
  if (!edge) return fail("There’s no way called " + quoted(rest) + ". Ways: left, right, up, down");
  if (name == CommandName::focus) return send({C::Focus{*edge}});
  return send({C::Swap{*edge}});
}

ParseResult parseRotate(const std::string& rest) {
  if (rest.empty()) return send({C::RetileTiles{Retile::rotate(1)}});
  if (text::lowercased(rest) == kBackWord) return send({C::RetileTiles{Retile::rotate(-1)}});
  return fail("rotate takes back or nothing, not " + quoted(rest) + ".");
}

ParseResult parseFlip(const std::string& rest) {
  if (rest.empty()) return fail("flip needs a way. Ways: horizontal, vertical");
  if (auto axis = flipOfWord(text::lowercased(rest)))
    return send({C::RetileTiles{Retile::flip(*axis)}});
  return fail("There’s no way called " + quoted(rest) + ". Ways: horizontal, vertical");
}

std::string gapsRange() {
  return "from " + std::to_string(kMinimumGap) + " to " + std::to_string(kMaximumGap) + " pixels";
}

ParseResult parseGaps(const std::string& rest) {
  if (rest.empty()) return fail("gaps needs wider, narrower, or a size " + gapsRange() + ".");
  auto reading = readGapsChange(rest);
  switch (reading.kind) {
    case GapsReading::Kind::change:
      return send({C::Gaps{reading.change}});
    case GapsReading::Kind::outOfRange:
      return fail("Gaps go " + gapsRange() + ", not " + std::to_string(reading.number) + ".");
    case GapsReading::Kind::notAChange:
      break;
  }
  return fail("gaps takes wider, narrower, or a size " + gapsRange() + ", not " + quoted(rest) +
              ".");
}

std::string lessonsList(bool withPanel) {
  std::vector<std::string> names;
  for (auto lesson : allLessons())
    if (withPanel || lesson != Lesson::panel) names.emplace_back(spelling(lesson));
  return text::joined(names, ", ");
}

std::string tipsList() {
  std::vector<std::string> names;
  for (auto tip : allTips())
    names.emplace_back(spelling(tip));
  return text::joined(names, ", ");
}

ParseResult parseOpen(const std::string& rest) {
  if (rest.empty()) return send({C::Open{std::nullopt}});
  auto page = readKestlesPage(rest);
  if (!page)
    return fail("There’s no page called " + quoted(rest) +
                ". Pages: kestles, layouts, rules, tiling, keys, general");
  return send({C::Open{page}});
}

ParseResult parseWelcome(const std::string& rest) {
  if (rest.empty()) return send({C::Welcome{std::nullopt}});
  auto page = readTourPage(rest);
  if (!page) return fail("There’s no page called " + quoted(rest) + ". Pages: " + tourPagesList());
  return send({C::Welcome{page}});
}

ParseResult parseTour(const std::string& rest) {
  if (rest.empty()) return send({C::Tour{std::nullopt}});
  auto lesson = readLesson(rest);
  if (!lesson)
    return fail("There’s no lesson called " + quoted(rest) + ". Lessons: " + lessonsList(true));
  return send({C::Tour{lesson}});
}

ParseResult parseShowMe(const std::string& rest) {
  if (rest.empty()) return fail("show-me needs a lesson, like: kestles show-me window-hints");
  auto lesson = readLesson(rest);
  if (!lesson || *lesson == Lesson::panel)
    return fail("There’s nothing to show for " + rest + ". Lessons: " + lessonsList(false));
  return send({C::ShowMe{*lesson}});
}

ParseResult parseTip(const std::string& rest) {
  if (rest.empty())
    return fail("tip needs a tip, like: kestles tip drag-window. Tips: " + tipsList());
  auto tip = readTip(rest);
  if (!tip) return fail("There’s no tip called " + quoted(rest) + ". Tips: " + tipsList());
  return send({C::ShowTip{*tip}});
}

ParseResult parseDebug(Words words) {
  auto command = readDebugPath(text::joined(words, "/"));
  if (!command) return fail("There’s no debug link " + quoted(joinedWords(words)) + ".");
  return send({C::Debug{*command}});
}

ParseResult parseList(const std::string& rest) {
  auto word = text::lowercased(rest);
  if (word.empty()) return CLIRequest{CLIRequest::List{Listing::all}};
  // "all" is what no word gives, not a word of its own.
  auto listing = listingFromRawValue(word);
  if (listing && *listing != Listing::all) return CLIRequest{CLIRequest::List{*listing}};
  return fail("kestles can list kestles or layouts, not " + quoted(rest) + ".");
}

// ---- tile ----

/// The options of `tile` as they are read, left to right.
struct TileOptions {
  std::array<bool, kTileOptions.cases().size()> seen{};
  std::optional<std::string> display;
  TileApps apps = TileApps::all();
  std::optional<TilingStyle> style;

  bool has(TileOption option) const { return seen[static_cast<std::size_t>(option)]; }
};

std::optional<Failure> applyTileOption(TileOptions& options, TileOption option,
                                       const std::string& typed, const std::string& value) {
  switch (option) {
    case TileOption::app:
      if (value.empty()) return Failure{appNeeded(typed)};
      options.apps = TileApps::named(value);
      break;
    case TileOption::frontApp:
      options.apps = TileApps::front();
      break;
    case TileOption::display:
      if (value.empty()) return Failure{displayNeeded(typed)};
      options.display = value;
      break;
    case TileOption::style:
      if (value.empty()) return Failure{typed + " needs a style, like: " + typed + " spiral"};
      options.style = readTilingStyle(value);
      if (!options.style)
        return Failure{typed + " takes grid, main-stack, spiral or columns, not " + quoted(value) +
                       "."};
      break;
    case TileOption::allDisplays:
      break;
  }
  return std::nullopt;
}

std::optional<Failure> readTileOption(TileOptions& options, Words words, std::size_t& index) {
  auto option = tileOption(words[index]);
  if (!option)
    return Failure{"tile takes --display, --app, --front-app, --style or --all-displays, not " +
                   quoted(joinedWords(words.subspan(index))) +
                   ", like: kestles tile --app Firefox"};
  if (options.has(*option))
    return Failure{"tile takes " + std::string(kTileOptions[*option].longForm) + " once."};
  bool app = *option == TileOption::app || *option == TileOption::frontApp;
  if (app && (options.has(TileOption::app) || options.has(TileOption::frontApp)))
    return Failure{"tile takes one of --app and --front-app, not both."};
  options.seen[static_cast<std::size_t>(*option)] = true;
  const auto& typed = words[index++];
  std::vector<std::string> value;
  while (kTileOptions[*option].takesValue && index < words.size() && !tileOption(words[index]))
    value.push_back(words[index++]);
  return applyTileOption(options, *option, typed, joinedWords(value));
}

ParseResult parseTile(Words words) {
  TileOptions options;
  for (std::size_t index = 0; index < words.size();)
    if (auto error = readTileOption(options, words, index)) return *error;
  if (!options.has(TileOption::allDisplays))
    return send({C::Tile{options.display, options.apps, options.style}});
  if (options.has(TileOption::display) || options.has(TileOption::app) ||
      options.has(TileOption::frontApp))
    return fail("tile --all-displays takes only --style.");
  return send({C::TileAllDisplays{options.style}});
}

// ---- the command table ----

std::optional<ParseResult> parseLibraryWord(const std::string& word, const std::string& rest) {
  if (word == "export") {
    if (rest.empty()) return CLIRequest{CLIRequest::ExportArchive{std::nullopt}};
    return CLIRequest{CLIRequest::ExportArchive{rest}};
  }
  if (word == "import") {
    // "--settings" after the file asks for the archive's settings too.
    constexpr std::string_view kSettings = "--settings";
    std::string path = rest;
    bool settings = path == kSettings || path.ends_with(" " + std::string(kSettings));
    if (settings) path.resize(path.size() - std::min(path.size(), kSettings.size() + 1));
    if (path.empty())
      return fail("import needs a file, like: kestles import ~/Desktop/Work.kestles");
    return CLIRequest{CLIRequest::ImportArchive{path, settings}};
  }
  if (word == "list") return parseList(rest);
  return std::nullopt;
}

/// "save NAME" adds a kestle, "save --update NAME" (the option anywhere) rewrites one.
ParseResult parseSave(Words words) {
  std::vector<std::string> name;
  bool update = false;
  for (const auto& word : words) {
    if (word == "--update")
      update = true;
    else
      name.push_back(word);
  }
  auto joined = joinedWords(name);
  if (joined.empty())
    return fail(update
                    ? "save --update needs the name of a kestle, like: kestles save --update Code"
                    : "save needs a name for the new kestle, like: kestles save Code");
  return send({C::Save{joined, update}});
}

ParseResult parseKestle(const std::string& rest) {
  if (rest.empty())
    return fail("kestle needs a kestle’s name or number, like: kestles kestle Code");
  return send({C::Kestle{rest}});
}

/// A command of the vocabulary's names, its words after the name.
ParseResult parseNamed(CommandName name, Words words) {
  auto rest = joinedWords(words);
  switch (name) {
    case CommandName::kestle:
      return parseKestle(rest);
    case CommandName::layout:
      return parseLayout(words);
    case CommandName::tile:
      return parseTile(words);
    case CommandName::swapDisplays:
      return parseSwapDisplays(rest);
    case CommandName::snap:
      return parseSnap(rest);
    case CommandName::focus:
    case CommandName::swap:
      // "swap displays" is swap-displays in two words.
      if (name == CommandName::swap && !words.empty() && text::lowercased(words[0]) == "displays")
        return parseSwapDisplays(joinedWords(words.subspan(1)));
      return parseEdge(name, rest);
    case CommandName::rotate:
      return parseRotate(rest);
    case CommandName::flip:
      return parseFlip(rest);
    case CommandName::gaps:
      return parseGaps(rest);
    case CommandName::keepTiled:
      return parseKeepTiled(words);
    case CommandName::leaveOut:
      return parseLeaveOut(words);
    case CommandName::open:
      return parseOpen(rest);
    case CommandName::tour:
      return parseTour(rest);
    case CommandName::showMe:
      return parseShowMe(rest);
    case CommandName::welcome:
      return parseWelcome(rest);
    case CommandName::tip:
      return parseTip(rest);
    case CommandName::save:
      return parseSave(words);
    case CommandName::debug:
      return parseDebug(words);
  }
  return fail("There’s no command " + quoted(std::string(commandWord(name))) + ".");
}

ParseResult parseWord(const std::string& typed, Words words) {
  auto word = text::lowercased(typed);
  auto rest = joinedWords(words);
  if (word == "help" || word == "--help" || word == "-h") return CLIRequest{CLIRequest::Help{}};
  if (word == "version" || word == "--version") return CLIRequest{CLIRequest::Version{}};
  if (const auto* plain = plainCommandWithWord(word)) return send(plain->command);
  if (auto name = commandNameOfWord(word)) return parseNamed(*name, words);
  if (auto library = parseLibraryWord(word, rest)) return *library;
  return fail("There’s no command " + quoted(typed) + ". Run kestles help to see them all.");
}

}  // namespace

ParseResult parseArguments(std::span<const std::string> rawArguments) {
  if (rawArguments.empty()) return CLIRequest{CLIRequest::Help{}};
  // Arguments are text: bytes that are not UTF-8 are read as replacement characters, so that
  // every name typed can travel in a link and come back the same.
  std::vector<std::string> repaired;
  repaired.reserve(rawArguments.size());
  for (const auto& argument : rawArguments)
    repaired.push_back(text::repairedUTF8(argument));
  std::span<const std::string> arguments(repaired);
  auto word = text::lowercased(arguments[0]);
  auto words = arguments.subspan(1);
  if (plainCommandWithWord(word) && !words.empty()) {
    auto rest = joinedWords(words);
    if (!rest.empty()) return fail(word + " takes nothing more, not " + quoted(rest) + ".");
  }
  return parseWord(arguments[0], words);
}

}  // namespace kestles::tool
