#include "KestlesCore/apply/ArrangementChoice.hpp"

#include <tuple>
#include <vector>

namespace kestles {
namespace {

struct Match {
  std::size_t screen = 0;
  std::size_t display = 0;
  DisplayKind::Fit fit = DisplayKind::Fit::other;
};

/// Screens matched to displays in three rounds, best fit first.
std::vector<Match> matchScreens(const std::vector<KestleScreen>& screens,
                                const std::vector<DisplayInfo>& displays) {
  std::vector<bool> screenUsed(screens.size()), displayUsed(displays.size());
  std::vector<Match> matches;
  auto round = [&](DisplayKind::Fit wanted) {
    for (std::size_t s = 0; s < screens.size(); ++s) {
      if (screenUsed[s]) continue;
      for (std::size_t d = 0; d < displays.size(); ++d) {
        if (displayUsed[d]) continue;
        if (wanted != DisplayKind::Fit::other && screens[s].display.fit(displays[d]) != wanted)
          continue;
        screenUsed[s] = displayUsed[d] = true;
        matches.push_back({s, d, wanted});
        break;
      }
    }
  };
  round(DisplayKind::Fit::same);
  round(DisplayKind::Fit::similar);
  round(DisplayKind::Fit::other);
  return matches;
}

/// Better matches compare greater.
auto score(const std::vector<Match>& matches, std::size_t screenCount) {
  int same = 0, similar = 0;
  for (const auto& match : matches) {
    same += match.fit == DisplayKind::Fit::same;
    similar += match.fit == DisplayKind::Fit::similar;
  }
  auto matched = static_cast<long>(matches.size());
  return std::make_tuple(same, similar, matched, matched - static_cast<long>(screenCount));
}

bool isPortrait(const DisplayKind& kind) {
  return kind.aspect > 0 && kind.aspect < 1;
}

TileShape transposed(const TileShape& shape) {
  if (const auto* tree = shape.treeNode()) return TileShape::tree(tree->transposed());
  auto tiles = *shape.drawnTiles();
  for (auto& tile : tiles) {
    auto unit = tile.unit.standardized();
    tile.unit = {unit.minY(), unit.minX(), unit.height(), unit.width()};
  }
  return TileShape::drawn(std::move(tiles));
}

KestleScreen carriedOver(const KestleScreen& screen, const DisplayInfo& display) {
  KestleScreen moved = screen;
  moved.display = DisplayKind::of(display);
  bool displayIsPortrait = display.frame.width() < display.frame.height();
  if (screen.display.fit(display) == DisplayKind::Fit::other &&
      isPortrait(screen.display) != displayIsPortrait) {
    moved.shape = transposed(screen.shape);
    moved.layout.reset();
  }
  return moved;
}

}  // namespace

std::optional<ArrangementChoice> ArrangementChoice::forSetup(const Kestle& kestle,
                                                             const DisplaySetup& setup) {
  if (auto stored = kestle.arrangements.find(setup.fingerprint());
      stored != kestle.arrangements.end())
    return ArrangementChoice{stored->second, false};
  if (auto made = derived(kestle, setup)) return ArrangementChoice{std::move(*made), true};
  return std::nullopt;
}

std::optional<Arrangement> ArrangementChoice::derived(const Kestle& kestle,
                                                      const DisplaySetup& setup) {
  auto displays = setup.ordered();
  const Arrangement* best = nullptr;
  std::vector<Match> bestMatches;
  for (const auto& [fingerprint, arrangement] : kestle.arrangements) {
    auto matches = matchScreens(arrangement.screens, displays);
    if (matches.empty()) continue;
    if (!best ||
        score(matches, arrangement.screens.size()) > score(bestMatches, best->screens.size())) {
      best = &arrangement;
      bestMatches = std::move(matches);
    }
  }
  if (!best) return std::nullopt;
  std::vector<const DisplayInfo*> displayOfScreen(best->screens.size(), nullptr);
  for (const auto& match : bestMatches)
    displayOfScreen[match.screen] = &displays[match.display];
  Arrangement result;
  for (std::size_t s = 0; s < best->screens.size(); ++s)
    if (displayOfScreen[s])
      result.screens.push_back(carriedOver(best->screens[s], *displayOfScreen[s]));
  return result;
}

}  // namespace kestles
