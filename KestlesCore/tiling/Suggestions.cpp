#include "KestlesCore/tiling/Suggestions.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <string>

#include "KestlesCore/layout/LayoutSolver.hpp"
#include "KestlesCore/layout/LayoutStrip.hpp"
#include "KestlesCore/layout/Template.hpp"
#include "KestlesCore/library/DisplayKind.hpp"
#include "KestlesCore/tiling/LayoutInference.hpp"
#include "KestlesCore/tiling/StyleShapes.hpp"

namespace kestles {
namespace {

// ---- The offered templates -------------------------------------------------------------

constexpr int kNotOffered = -1;

/// A template and the bonus it starts with on each display shape (laptop, wide, ultrawide,
/// portrait), or kNotOffered. Templates are offered for the window count equal to their
/// tile count. The bonuses stay below the 15 of a saved layout or of the configured style,
/// so that the user's own choices lead; among templates they prefer what suits the shape:
/// side by side on landscape displays, more columns on ultrawide ones, stacks on portrait.
struct Offer {
  std::string_view id;
  std::array<int, 4> bonus;
};

constexpr std::array<Offer, 22> kOffers{{
    {"halves", {10, 10, 5, 0}},
    {"halves-stacked", {0, 0, kNotOffered, 10}},
    {"quarters", {10, 10, 3, 5}},
    {"thirds", {5, 8, 10, kNotOffered}},
    {"two-thirds-third", {5, 5, 5, kNotOffered}},
    {"third-two-thirds", {3, 3, 3, kNotOffered}},
    {"main-stack-2", {10, 10, 5, kNotOffered}},
    {"main-stack-3", {5, 8, 5, kNotOffered}},
    {"centered", {0, 5, 10, 0}},
    {"centered-sides", {kNotOffered, 5, 10, kNotOffered}},
    {"thirds-stacked", {kNotOffered, kNotOffered, kNotOffered, 10}},
    {"wide-narrow", {kNotOffered, 5, 8, kNotOffered}},
    {"narrow-wide", {kNotOffered, 3, 5, kNotOffered}},
    {"wide-two-narrow", {5, 5, 3, kNotOffered}},
    {"side-main-stack", {kNotOffered, 5, 8, kNotOffered}},
    {"centre-stacks", {kNotOffered, kNotOffered, 10, kNotOffered}},
    {"four-columns", {kNotOffered, kNotOffered, 10, kNotOffered}},
    {"three-by-two", {kNotOffered, 10, 10, kNotOffered}},
    {"three-by-three", {kNotOffered, 10, 5, kNotOffered}},
    {"reading", {0, 0, 5, 0}},
    {"main-above-two", {kNotOffered, kNotOffered, kNotOffered, 8}},
    {"two-thirds-above-third", {kNotOffered, kNotOffered, kNotOffered, 8}},
}};

int offeredBonus(const Offer& offer, DisplayShape shape) {
  return offer.bonus[static_cast<std::size_t>(shape)];
}

// ---- Texts -----------------------------------------------------------------------------

constexpr std::string_view kFillTitle = "Fill";

std::string windowCountText(int chosen, int turnedOff) {
  if (turnedOff > 0)
    return std::to_string(chosen) + " of " + std::to_string(chosen + turnedOff) + " windows";
  return chosen == 1 ? "1 window" : std::to_string(chosen) + " windows";
}

/// The occupants' distinct app names, at most three, then " + N more"; then " · N stay".
std::string subtitle(const std::vector<std::optional<Suggestion::Occupant>>& tiles, int stays) {
  std::vector<std::string> names;
  for (const auto& occupant : tiles)
    if (occupant && std::find(names.begin(), names.end(), occupant->appName) == names.end())
      names.push_back(occupant->appName);
  std::string text;
  for (std::size_t i = 0; i < names.size() && i < 3; ++i)
    text += (i ? ", " : "") + names[i];
  if (names.size() > 3) text += " + " + std::to_string(names.size() - 3) + " more";
  if (stays >= 1) text += " · " + std::to_string(stays) + " stay";
  return text;
}

// ---- Shapes ----------------------------------------------------------------------------

// The smallest tile a window is expected to be usable in; smaller minimums count as these.
constexpr double kSmallestWidth = 360;
constexpr double kSmallestHeight = 240;

bool hasUsableTiles(const std::vector<CGRect>& frames) {
  return std::all_of(frames.begin(), frames.end(), [](const CGRect& frame) {
    return frame.width() >= kSmallestWidth - 0.5 && frame.height() >= kSmallestHeight - 0.5;
  });
}

/// Whether a display's saved layout was made on this display: the same display, the same
/// name, or an aspect within 8 % of the saved one.
bool madeOn(const SavedLayout& layout, const DisplayInfo& display) {
  if (!layout.display) return false;
  return layout.display->name == display.name ||
         layout.display->fit(display) != DisplayKind::Fit::other;
}

/// The template whose tree is exactly this one (fixed ids included), if any.
std::optional<LayoutRef> templateOf(const TileShape& shape) {
  for (const auto& entry : Template::all())
    if (entry.shape == shape) return LayoutRef::templateLayout(entry.id);
  return std::nullopt;
}

// ---- Scoring ---------------------------------------------------------------------------

/// A candidate with its tiles worked out once: in the unit square (in tile order and
/// sorted for comparing shapes) and on the display without minimums.
struct Shaped {
  Suggestions::Candidate candidate;
  std::vector<CGRect> units;
  std::vector<CGRect> sortedUnits;
  std::vector<CGRect> open;
};

Shaped shaped(Suggestions::Candidate candidate, const Suggestions::Request& request) {
  auto units = unitFrames(candidate.shape);
  auto sorted = sortedTopToBottom(units);
  auto open =
      LayoutSolver::solve(candidate.shape, request.display.visibleFrame, request.gaps).tileFrames;
  candidate.inSmallest = hasUsableTiles(open);
  return {std::move(candidate), std::move(units), std::move(sorted), std::move(open)};
}

/// What every candidate of one board is scored against.
struct Scene {
  const Suggestions::Request& request;
  std::vector<WindowSnapshot> ordered;
  DisplayShape shape;
  int distinctWeights = 0;
  bool mainWorthy = false;
  bool anyLimits = false;
  TilingMemory::Key key;
};

bool hasLimits(const WindowSnapshot& window) {
  return window.minimumSize.width > 0 || window.minimumSize.height > 0 ||
         window.maximumSize.width > 0 || window.maximumSize.height > 0;
}

SizeLimits limitsOf(const WindowSnapshot& window) {
  return {window.minimumSize, window.maximumSize};
}

int mainTileTerm(const std::vector<CGRect>& units, const Scene& scene) {
  std::vector<double> areas;
  for (const auto& unit : units)
    areas.push_back(unit.area());
  std::sort(areas.begin(), areas.end(), std::greater<>());
  // Areas come from weights divided by sums, so an exact 1.6 can land a few ulps short; a
  // tolerance far below any drawable difference keeps that shape's main tile.
  bool hasMainTile = areas[0] >= 1.6 * areas[1] * (1 - 1e-9);
  if (hasMainTile) {
    if (scene.distinctWeights < 2) return -10;
    return scene.mainWorthy ? 20 : 0;
  }
  return scene.distinctWeights < 2 ? 10 : 0;
}

int displayShapeTerm(const TileShape& shape, const std::vector<CGRect>& units,
                     DisplayShape display) {
  if (display == DisplayShape::ultrawide) {
    std::set<long> columns;
    for (const auto& unit : units)
      columns.insert(std::lround(unit.minX() * 1000));
    return columns.size() > 2 ? 10 : 0;
  }
  if (display == DisplayShape::portrait) {
    const LayoutNode* root = shape.treeNode();
    return root && root->isContainer() && root->split == Split::rows ? 10 : 0;
  }
  return 0;
}

/// Windows in tile order: slot i holds the window of tile i, or nothing.
using Seating = std::vector<const WindowSnapshot*>;

int sizeFitTerm(const Seating& seating, const std::vector<CGRect>& tiles, bool fits,
                const CGRect& visible) {
  int term = fits ? 0 : -60;
  double emptyArea = 0;
  for (std::size_t i = 0; i < seating.size(); ++i) {
    const WindowSnapshot* window = seating[i];
    if (!window) continue;
    const CGRect& tile = tiles[i];
    const auto& minimum = window->minimumSize;
    if (tile.width() < std::min(minimum.width, kSmallestWidth) - 0.5 ||
        tile.height() < std::min(minimum.height, kSmallestHeight) - 0.5)
      term -= 30;
    const auto& maximum = window->maximumSize;
    if ((maximum.width > 0 && maximum.width < tile.width()) ||
        (maximum.height > 0 && maximum.height < tile.height()))
      emptyArea += tile.area() - limitsOf(*window).applied(tile, visible).area();
  }
  double share = 150 * emptyArea / std::max(1.0, visible.area());
  return term - std::min(60, static_cast<int>(std::floor(share)));
}

bool standsIn(const WindowSnapshot& window, const CGRect& landed) {
  auto near = [](double a, double b) { return std::fabs(a - b) <= 24; };
  const CGRect& now = window.frame;
  return near(now.minX(), landed.minX()) && near(now.minY(), landed.minY()) &&
         near(now.maxX(), landed.maxX()) && near(now.maxY(), landed.maxY());
}

Seating seatingFor(const Suggestions::Candidate& candidate, const Scene& scene) {
  Seating seating(candidate.shape.tileCount(), nullptr);
  if (candidate.fromScreen) {
    for (std::size_t i = 0; i < seating.size() && i < candidate.fromScreen->size(); ++i) {
      const auto& id = (*candidate.fromScreen)[i];
      for (const auto& window : scene.ordered)
        if (id && window.id == *id) seating[i] = &window;
    }
    return seating;
  }
  for (std::size_t i = 0; i < seating.size() && i < scene.ordered.size(); ++i)
    seating[i] = &scene.ordered[i];
  return seating;
}

std::string idOf(const Shaped& shaped) {
  const auto& candidate = shaped.candidate;
  if (candidate.fromScreen) return std::string(kFillSuggestionID);
  if (candidate.layout) return suggestionID(*candidate.layout);
  return shapeSuggestionID(shaped.units);
}

/// The tiles with the seated windows' minimums, where the windows really land. When every
/// open tile already holds its window's minimum the solver would change nothing, so the
/// open tiles are the answer without solving again.
LayoutSolution landing(const Shaped& shaped, const Seating& seating,
                       const Suggestions::Request& request) {
  std::vector<MinimumSize> minimums(seating.size());
  bool openFits = true;
  for (std::size_t i = 0; i < seating.size(); ++i) {
    if (!seating[i]) continue;
    minimums[i] = seating[i]->minimumSize;
    openFits = openFits && shaped.open[i].width() + 0.5 >= minimums[i].width &&
               shaped.open[i].height() + 0.5 >= minimums[i].height;
  }
  if (openFits) return {shaped.open, {}, true};
  return LayoutSolver::solve(shaped.candidate.shape, request.display.visibleFrame, request.gaps,
                             minimums);
}

/// A candidate's score, with what its description needs later.
struct Scored {
  std::string id;
  Seating seating;
  LayoutSolution landed;
  int score = 0;
};

Scored score(const Shaped& shaped, const Scene& scene) {
  const auto& request = scene.request;
  const auto& units = shaped.units;
  int tileCount = static_cast<int>(units.size());
  int windowCount = static_cast<int>(scene.ordered.size());
  Scored scored{idOf(shaped), seatingFor(shaped.candidate, scene), {}, 0};

  int score = shaped.candidate.bonus + 100 + Suggestions::countFit(tileCount, windowCount);
  if (request.memory) score += request.memory->bonus(scored.id, scene.key);
  if (windowCount > 1 && tileCount > 1) score += mainTileTerm(units, scene);
  score += displayShapeTerm(shaped.candidate.shape, units, scene.shape);
  // The size-fit term measures the tiles without minimums; whether they fit, and where the
  // windows land, comes from the tiles with them.
  scored.landed = landing(shaped, scored.seating, request);
  if (scene.anyLimits)
    score +=
        sizeFitTerm(scored.seating, shaped.open, scored.landed.fits, request.display.visibleFrame);
  scored.score = score;
  return scored;
}

/// The suggestion of a scored candidate: who sits where, who stays, and its texts.
Suggestion describe(const Shaped& shaped, Scored scored, const Scene& scene) {
  const auto& candidate = shaped.candidate;
  const CGRect& visible = scene.request.display.visibleFrame;
  Suggestion suggestion;
  suggestion.id = std::move(scored.id);
  suggestion.kind = {Suggestion::Kind::Tiles{candidate.shape, candidate.layout}};
  suggestion.title = candidate.fromScreen ? std::string(kFillTitle) : candidate.name;
  suggestion.shape = candidate.shape;
  suggestion.fillsFromScreen = candidate.fromScreen.has_value();
  suggestion.score = scored.score;
  for (std::size_t i = 0; i < scored.seating.size(); ++i) {
    const WindowSnapshot* window = scored.seating[i];
    if (!window) {
      suggestion.tiles.emplace_back();
      continue;
    }
    CGRect landed = limitsOf(*window).applied(scored.landed.tileFrames[i], visible);
    if (standsIn(*window, landed)) ++suggestion.stays;
    suggestion.tiles.push_back(
        Suggestion::Occupant{window->id, window->bundleID, window->appName, landed.size});
  }
  suggestion.subtitle = subtitle(suggestion.tiles, suggestion.stays);
  return suggestion;
}

Scene sceneFor(const Suggestions::Request& request) {
  Scene scene{
      request, Suggestions::windowOrder(request.windows), request.display.shape(), 0, false, false,
      {}};
  std::set<int> weights;
  for (const auto& window : scene.ordered) {
    weights.insert(Suggestions::roleWeight(role(window.bundleID, window.appName)));
    scene.anyLimits = scene.anyLimits || hasLimits(window);
  }
  scene.distinctWeights = static_cast<int>(weights.size());
  if (!scene.ordered.empty()) {
    const auto& first = scene.ordered.front();
    scene.mainWorthy = Suggestions::roleWeight(role(first.bundleID, first.appName)) > 1;
  }
  scene.key = Suggestions::key(request.windows, scene.shape);
  return scene;
}

/// The candidates kept, best first: equal scores in the order made; a candidate with the
/// same tiles as a better one is dropped, then shapes with unusably small tiles unless they
/// are the user's own or nothing else is left; the board keeps the first six.
std::vector<std::size_t> ranked(const std::vector<Scored>& scores,
                                const std::vector<Shaped>& shapes) {
  std::vector<std::size_t> order(scores.size());
  for (std::size_t i = 0; i < order.size(); ++i)
    order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return scores[a].score > scores[b].score; });

  std::vector<std::size_t> distinct;
  for (std::size_t index : order) {
    const auto& units = shapes[index].sortedUnits;
    if (std::none_of(distinct.begin(), distinct.end(), [&](std::size_t kept) {
          return LayoutStrip::sameFrames(units, shapes[kept].sortedUnits);
        }))
      distinct.push_back(index);
  }
  bool anyUsable = std::any_of(distinct.begin(), distinct.end(),
                               [&](std::size_t i) { return shapes[i].candidate.inSmallest; });
  std::vector<std::size_t> kept;
  for (std::size_t index : distinct) {
    if (kept.size() == Suggestions::kMostSuggestions) break;
    const auto& candidate = shapes[index].candidate;
    if (anyUsable && !candidate.inSmallest && !candidate.isSaved) continue;
    kept.push_back(index);
  }
  return kept;
}

/// Puts the style's own shape first among the kept candidates (taking it in when the ranking
/// left it out, the last kept one then going).
void lead(std::vector<std::size_t>& kept, const std::vector<Shaped>& shapes,
          const Suggestions::Request& request, int count) {
  auto styled = sortedTopToBottom(
      unitFrames(shapeForCount(count, request.display.visibleFrame.size, request.style)));
  auto isStyled = [&](std::size_t index) {
    return !shapes[index].candidate.fromScreen &&
           LayoutStrip::sameFrames(shapes[index].sortedUnits, styled);
  };
  auto found = std::find_if(kept.begin(), kept.end(), isStyled);
  if (found != kept.end()) {
    std::rotate(kept.begin(), found, std::next(found));
    return;
  }
  for (std::size_t index = 0; index < shapes.size(); ++index)
    if (isStyled(index)) {
      kept.insert(kept.begin(), index);
      if (kept.size() > Suggestions::kMostSuggestions) kept.pop_back();
      return;
    }
}

}  // namespace

// ---- Suggestions -----------------------------------------------------------------------

int Suggestions::roleWeight(AppRole role) {
  switch (role) {
    case AppRole::editor:
    case AppRole::design:
      return 3;
    case AppRole::browser:
    case AppRole::notes:
      return 2;
    case AppRole::mail:
    case AppRole::other:
      return 1;
    case AppRole::terminal:
    case AppRole::chat:
    case AppRole::utility:
      return 0;
    case AppRole::media:
      return -2;
  }
  return 1;
}

std::vector<WindowSnapshot> Suggestions::windowOrder(std::vector<WindowSnapshot> windows) {
  std::stable_sort(windows.begin(), windows.end(),
                   [](const auto& a, const auto& b) { return a.zIndex < b.zIndex; });
  std::vector<std::pair<int, std::size_t>> priorities;
  for (std::size_t i = 0; i < windows.size(); ++i) {
    int front = i == 0 ? 3 : i == 1 ? 1 : 0;
    priorities.push_back(
        {2 * roleWeight(role(windows[i].bundleID, windows[i].appName)) + front, i});
  }
  std::stable_sort(priorities.begin(), priorities.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<WindowSnapshot> ordered;
  ordered.reserve(windows.size());
  for (const auto& [priority, index] : priorities)
    ordered.push_back(std::move(windows[index]));
  return ordered;
}

TilingMemory::Key Suggestions::key(std::span<const WindowSnapshot> windows, DisplayShape shape) {
  TilingMemory::Key key{static_cast<int>(windows.size()), {}, shape};
  for (const auto& window : windows)
    key.roles.push_back(role(window.bundleID, window.appName));
  std::sort(key.roles.begin(), key.roles.end());
  return key;
}

int Suggestions::countFit(int tiles, int windows) {
  if (tiles == windows) return 40;
  if (tiles < windows) return -std::min(60, 15 * (windows - tiles));
  return -25 * (tiles - windows);
}

namespace {

/// The candidates in the order they are made, each shaped once.
std::vector<Shaped> shapedCandidates(const Suggestions::Request& request, int count) {
  const DisplayInfo& display = request.display;
  DisplayShape shape = display.shape();
  std::vector<Shaped> made;
  auto add = [&](TileShape tiles, std::optional<LayoutRef> layout, std::string name, int bonus,
                 bool isSaved) {
    made.push_back(shaped(
        {std::move(tiles), std::move(layout), std::move(name), bonus, isSaved, false, std::nullopt},
        request));
  };

  for (const auto& offer : kOffers) {
    const Template* entry = Template::withID(offer.id);
    int bonus = offeredBonus(offer, shape);
    if (!entry || bonus == kNotOffered || !entry->fits.contains(shape) ||
        static_cast<int>(entry->shape.tileCount()) != count)
      continue;
    add(entry->shape, LayoutRef::templateLayout(entry->id), entry->name, bonus, false);
  }

  for (const auto& layout : request.savedLayouts) {
    int tiles = static_cast<int>(layout.shape.tileCount());
    if (tiles == 0 || std::abs(tiles - count) > 1) continue;
    add(layout.shape, LayoutRef::saved(layout.id), layout.name, madeOn(layout, display) ? 30 : 15,
        true);
  }

  TileShape styled = shapeForCount(count, display.visibleFrame.size, request.style);
  auto styledUnits = sortedTopToBottom(unitFrames(styled));
  auto same = std::find_if(made.begin(), made.end(), [&](const Shaped& earlier) {
    return LayoutStrip::sameFrames(earlier.sortedUnits, styledUnits);
  });
  if (same != made.end()) {
    same->candidate.bonus += 15;
  } else {
    auto layout = templateOf(styled);
    add(std::move(styled), std::move(layout), std::string(title(request.style)), 15, false);
  }

  if (request.fromScreen && request.fromScreen->shape.tileCount() > 0) {
    add(request.fromScreen->shape, std::nullopt, std::string(kFillTitle), 0, false);
    made.back().candidate.fromScreen = request.fromScreen->windows;
  }
  return made;
}

}  // namespace

std::optional<Suggestions::FromScreen> Suggestions::FromScreen::readOff(
    std::span<const WindowSnapshot> windows, const CGRect& visible) {
  std::vector<CGRect> frames;
  for (const auto& window : windows)
    frames.push_back(window.frame);
  auto inferred = LayoutInference::infer(frames, visible);
  if (!inferred) return std::nullopt;
  LayoutNode tree = std::move(inferred->tree);
  // Spacers keep the room the windows leave empty; filling the display means dropping them
  // (removal collapses a container left with one child, and never touches the tile order).
  for (const auto& leaf : tree.leaves())
    if (leaf.isSpacer) tree.remove(leaf.id, false);
  FromScreen screen{TileShape::tree(std::move(tree)), {}};
  for (auto frame : inferred->frameOfTile)
    screen.windows.emplace_back(windows[frame].id);
  return screen;
}

std::vector<Suggestions::Candidate> Suggestions::candidates(const Request& request, int count) {
  std::vector<Candidate> candidates;
  for (auto& made : shapedCandidates(request, count))
    candidates.push_back(std::move(made.candidate));
  return candidates;
}

Suggestions::Board Suggestions::board(const Request& request) {
  Board board;
  board.displayID = request.display.id;
  board.displayName = request.display.name;
  board.windowCount = static_cast<int>(request.windows.size());
  board.turnedOff = request.turnedOff;
  board.fullScreenApp = request.fullScreenApp;
  board.key = key(request.windows, request.display.shape());
  if (request.fullScreenApp || request.windows.empty()) return board;

  Scene scene = sceneFor(request);
  auto shapes = shapedCandidates(request, board.windowCount);
  std::vector<Scored> scores;
  scores.reserve(shapes.size());
  for (const auto& shape : shapes)
    scores.push_back(score(shape, scene));
  // Only the suggestions kept are described.
  auto kept = ranked(scores, shapes);
  if (request.styleLeads) lead(kept, shapes, request, board.windowCount);
  for (std::size_t index : kept)
    board.suggestions.push_back(describe(shapes[index], std::move(scores[index]), scene));
  return board;
}

std::string Suggestions::Board::title() const {
  if (fullScreenApp) return *fullScreenApp + " is full screen on " + displayName;
  if (windowCount == 0)
    return turnedOff == 0 ? "Nothing on " + displayName + " to tile"
                          : "No windows chosen on " + displayName;
  return "For " + displayName + " · " + windowCountText(windowCount, turnedOff);
}

const Suggestion* Suggestions::Board::suggestion(std::string_view id) const {
  for (const auto& suggestion : suggestions)
    if (suggestion.id == id) return &suggestion;
  return nullptr;
}

}  // namespace kestles
