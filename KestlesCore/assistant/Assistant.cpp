#include "KestlesCore/assistant/Assistant.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <span>

#include "KestlesCore/apply/KestleSetup.hpp"
#include "KestlesCore/text/Text.hpp"
#include "KestlesCore/tiling/LayoutInference.hpp"

namespace kestles {
namespace {

// Places are cut apart on a square of this side; a sixth of it stays well above the
// inference's spacer and overlap thresholds, and weights come out in sixths.
constexpr double kSide = 600, kSixth = kSide / 6, kTolerance = 1;

constexpr std::string_view kInstructions =
    "You arrange app windows on a computer's displays. Read the user's sentence and answer "
    "with a name for the arrangement and, for every app the user mentions, the app's name as "
    "listed below (or as the user wrote it when it is not listed), the number of the display "
    "it goes on (only when the user names one) and its place, one of: full, leftHalf, "
    "rightHalf, topHalf, bottomHalf, topLeft, topRight, bottomLeft, bottomRight, leftThird, "
    "middleThird, rightThird, leftTwoThirds, rightTwoThirds, center.";

CGRect scaled(const CGRect& unit) {
  return {unit.origin.x * kSide, unit.origin.y * kSide, unit.width() * kSide,
          unit.height() * kSide};
}

void weighInSixths(LayoutNode& node) {
  for (auto& child : node.children) {
    child.weight /= kSixth;
    weighInSixths(child);
  }
}

/// The children's areas: the container's area shared by their weights.
std::vector<CGRect> childAreas(const LayoutNode& node, const CGRect& area) {
  double total = 0;
  for (const auto& child : node.children)
    total += child.weight;
  std::vector<CGRect> areas;
  double start = 0;
  for (const auto& child : node.children) {
    double share = child.weight / total;
    areas.push_back(*node.split == Split::columns
                        ? CGRect{area.minX() + start * area.width(), area.minY(),
                                 share * area.width(), area.height()}
                        : CGRect{area.minX(), area.minY() + start * area.height(), area.width(),
                                 share * area.height()});
    start += share;
  }
  return areas;
}

/// The node along the split with spacers for the room before and after it.
LayoutNode padded(LayoutNode middle, Split split, double before, double length, double after) {
  double weight = middle.weight;
  middle.weight = length;
  std::vector<LayoutNode> children;
  if (before > kTolerance) children.push_back(LayoutNode::spacer(before));
  children.push_back(std::move(middle));
  if (after > kTolerance) children.push_back(LayoutNode::spacer(after));
  if (children.size() == 1) {
    children.front().weight = weight;
    return std::move(children.front());
  }
  return split == Split::columns ? LayoutNode::columns(std::move(children), weight)
                                 : LayoutNode::rows(std::move(children), weight);
}

/// Puts every tile exactly on its frame: the inference gives a lone frame its group's whole
/// area, so a tile larger than its frame gets spacers around it. False when a frame does not
/// lie within its tile's area.
bool fit(LayoutNode& node, const CGRect& area, std::span<const CGRect> framesInTileOrder,
         std::size_t& tile) {
  if (node.isContainer()) {
    auto areas = childAreas(node, area);
    for (std::size_t i = 0; i < node.children.size(); ++i)
      if (!fit(node.children[i], areas[i], framesInTileOrder, tile)) return false;
    return true;
  }
  if (node.isSpacer) return true;
  const auto& frame = framesInTileOrder[tile++];
  if (frame.minX() < area.minX() - kTolerance || frame.maxX() > area.maxX() + kTolerance ||
      frame.minY() < area.minY() - kTolerance || frame.maxY() > area.maxY() + kTolerance)
    return false;
  node = padded(std::move(node), Split::rows, frame.minY() - area.minY(), frame.height(),
                area.maxY() - frame.maxY());
  node = padded(std::move(node), Split::columns, frame.minX() - area.minX(), frame.width(),
                area.maxX() - frame.maxX());
  return true;
}

/// The tiles of one display's places, and for each tile in tile order the place it holds.
/// A tree when the places cut apart into one that puts every tile exactly on its place,
/// else drawn tiles (overlapping places, say, or two windows in one place).
TileShape shapeOf(const std::vector<AssistantPlace>& places,
                  std::vector<std::size_t>& placeOfTile) {
  std::vector<CGRect> frames;
  for (auto place : places)
    frames.push_back(scaled(unitRect(place)));
  CGRect square{0, 0, kSide, kSide};
  if (auto inferred = LayoutInference::infer(frames, square)) {
    std::vector<CGRect> inTileOrder;
    for (auto index : inferred->frameOfTile)
      inTileOrder.push_back(frames[index]);
    std::size_t tile = 0;
    if (fit(inferred->tree, square, inTileOrder, tile)) {
      weighInSixths(inferred->tree);
      placeOfTile = inferred->frameOfTile;
      return TileShape::tree(std::move(inferred->tree));
    }
  }
  std::vector<DrawnTile> tiles;
  placeOfTile.clear();
  for (std::size_t i = 0; i < places.size(); ++i) {
    tiles.push_back(DrawnTile::make(unitRect(places[i])));
    placeOfTile.push_back(i);
  }
  return TileShape::drawn(std::move(tiles));
}

bool sameText(std::string_view a, std::string_view b) {
  return text::nameKey(a) == text::nameKey(b);
}

/// The name on one line: a name is read by the model inside the situation's lines, so a line
/// break or control character in it (a desktop entry can hold one) must not start a line of
/// its own that reads like the system's.
std::string oneLine(std::string_view name) {
  std::string out;
  for (const auto& character : text::characters(name)) {
    bool control = static_cast<unsigned char>(character[0]) < 0x20 || character == "\x7F";
    out += control || (text::characterClass(character).isWhiteSpace && character != " ")
               ? std::string(" ")
               : character;
  }
  return out;
}

std::string kestleName(const AssistantIdea& idea, const std::vector<std::string>& appNames) {
  auto name = text::trimmed(idea.name);
  if (!name.empty()) return name;
  if (appNames.empty()) return "New Kestle";
  return text::joined(appNames, " & ");
}

}  // namespace

Assistant::Situation Assistant::Situation::of(const DisplaySetup& setup,
                                              const std::optional<std::string>& activeID,
                                              const std::vector<AppRef>& open,
                                              const std::vector<AppRef>& installed) {
  Situation situation;
  situation.displays = setup.displays;
  std::stable_sort(
      situation.displays.begin(), situation.displays.end(),
      [](const DisplayInfo& a, const DisplayInfo& b) { return a.frame.minX() < b.frame.minX(); });
  if (activeID && setup.displayWithID(*activeID))
    situation.inUseID = *activeID;
  else if (auto fallback = setup.fallback())
    situation.inUseID = fallback->id;
  auto isOpen = [&](const AppRef& app) {
    return std::any_of(situation.openApps.begin(), situation.openApps.end(),
                       [&](const AppRef& seen) { return seen.bundleID == app.bundleID; });
  };
  for (const auto& app : open)
    if (!isOpen(app)) situation.openApps.push_back(app);
  for (const auto& app : installed)
    if (!isOpen(app) &&
        std::none_of(situation.otherApps.begin(), situation.otherApps.end(),
                     [&](const AppRef& seen) { return seen.bundleID == app.bundleID; }))
      situation.otherApps.push_back(app);
  std::stable_sort(
      situation.otherApps.begin(), situation.otherApps.end(),
      [](const AppRef& a, const AppRef& b) { return standardOrderLess(a.name, b.name); });
  return situation;
}

Assistant::Situation Assistant::Situation::of(const World& world,
                                              const std::vector<AppRef>& installed) {
  std::vector<AppRef> open;
  for (const auto& app : world.apps)
    open.push_back({app.bundleID, app.name});
  return of(world.setup, world.activeDisplayID, open, installed);
}

std::string Assistant::Situation::text() const {
  std::vector<std::string> lines{"Displays, numbered left to right:"};
  for (std::size_t i = 0; i < displays.size(); ++i) {
    std::vector<std::string> notes;
    if (displays[i].isBuiltIn) notes.emplace_back("built-in");
    if (inUseID && displays[i].id == *inUseID) notes.emplace_back("the one in use");
    auto line = std::to_string(i + 1) + ". " + oneLine(displays[i].name);
    if (!notes.empty()) line += " (" + text::joined(notes, ", ") + ")";
    lines.push_back(std::move(line));
  }
  auto names = [](const std::vector<AppRef>& apps) {
    std::vector<std::string> out;
    for (const auto& app : apps)
      out.push_back(oneLine(app.name));
    return text::joined(out, ", ");
  };
  lines.push_back("Open apps: " + (openApps.empty() ? std::string("none") : names(openApps)));
  if (!otherApps.empty()) lines.push_back("Other apps: " + names(otherApps));
  return text::joined(lines, "\n");
}

std::optional<int> Assistant::Situation::resolved(std::optional<int> number) const {
  if (displays.empty()) return std::nullopt;
  if (number && *number >= 1 && static_cast<std::size_t>(*number) <= displays.size()) return number;
  return inUseNumber();
}

int Assistant::Situation::inUseNumber() const {
  for (std::size_t i = 0; i < displays.size(); ++i)
    if (inUseID && displays[i].id == *inUseID) return static_cast<int>(i + 1);
  return 1;
}

std::vector<AppRef> Assistant::Situation::knownApps() const {
  auto apps = openApps;
  apps.insert(apps.end(), otherApps.begin(), otherApps.end());
  return apps;
}

std::optional<AssistantTrouble> Assistant::troubleWith(std::string_view sentence) {
  if (text::characterCount(sentence) > kLongestSentence)
    return AssistantTrouble::of(AssistantTrouble::Kind::tooMuch);
  return std::nullopt;
}

std::optional<AssistantTrouble> Assistant::troubleWith(const AssistantIdea& idea) {
  if (idea.windows.size() > kMostWindows)
    return AssistantTrouble::of(AssistantTrouble::Kind::tooMuch);
  auto tooLong = [](std::string_view name) { return text::characterCount(name) > kLongestName; };
  if (tooLong(idea.name) || std::any_of(idea.windows.begin(), idea.windows.end(),
                                        [&](const auto& window) { return tooLong(window.app); }))
    return AssistantTrouble::of(AssistantTrouble::Kind::other);
  return std::nullopt;
}

std::string_view Assistant::instructions() {
  return kInstructions;
}

std::optional<AppRef> Assistant::matchApp(std::string_view name, const std::vector<AppRef>& apps) {
  if (auto index = text::matchName(name, apps, &AppRef::name)) return apps[*index];
  auto key = text::trimmed(name);
  if (key.empty()) return std::nullopt;
  for (const auto& app : apps) {
    auto dot = app.bundleID.rfind('.');
    auto last = dot == std::string::npos ? app.bundleID : app.bundleID.substr(dot + 1);
    if (sameText(app.bundleID, key) || sameText(last, key)) return app;
  }
  return std::nullopt;
}

Assistant::Result Assistant::convert(const AssistantIdea& idea, const Situation& situation) {
  struct Placed {
    AppRef app;
    AssistantPlace place;
  };
  std::map<int, std::vector<Placed>> byDisplay;  // by display number, left to right
  std::vector<std::string> unknown, appNames;
  auto known = situation.knownApps();
  for (const auto& window : idea.windows) {
    auto app = matchApp(window.app, known);
    if (!app) {
      unknown.push_back(window.app);
      continue;
    }
    auto number = situation.resolved(window.display);
    if (!number) continue;  // no display connected to hold it
    if (std::find(appNames.begin(), appNames.end(), app->name) == appNames.end())
      appNames.push_back(app->name);
    byDisplay[*number].push_back({*app, window.place});
  }
  auto kestle = Kestle::make(kestleName(idea, appNames));
  if (byDisplay.empty()) return {std::move(kestle), std::move(unknown)};
  Arrangement arrangement;
  for (const auto& [number, placed] : byDisplay) {
    std::vector<AssistantPlace> places;
    for (const auto& window : placed)
      places.push_back(window.place);
    std::vector<std::size_t> placeOfTile;
    KestleScreen screen;
    screen.display = DisplayKind::of(situation.displays[static_cast<std::size_t>(number - 1)]);
    screen.shape = shapeOf(places, placeOfTile);
    for (auto place : placeOfTile)
      screen.pins.emplace_back(placed[place].app);
    arrangement.screens.push_back(std::move(screen));
  }
  kestle.arrangements[DisplaySetup{situation.displays}.fingerprint()] = std::move(arrangement);
  return {std::move(kestle), std::move(unknown)};
}

}  // namespace kestles
