#include "KestlesCore/keyboard/PickToTile.hpp"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>

#include "KestlesCore/layout/Template.hpp"
#include "KestlesCore/tiling/StyleShapes.hpp"
#include "KestlesCore/tiling/TilingStyle.hpp"

namespace kestles {
namespace {

constexpr const char* kPickedWindows = "Picked Windows";
constexpr const char* kFill = "Fill";
constexpr const char* kMoreFormat = "%lld More";

/// Every window over the whole display, with fixed tile ids so the choice compares equal
/// from one offer to the next.
TileShape fillShape(int count) {
  std::vector<DrawnTile> tiles;
  for (int i = 1; i <= count; ++i) {
    char id[37];
    std::snprintf(id, sizeof id, "00000000-0000-0000-0000-%012d", i);
    tiles.push_back({*UUID::fromString(id), {0, 0, 1, 1}});
  }
  return TileShape::drawn(std::move(tiles));
}

}  // namespace

PickToTile PickToTile::open(const World& world) {
  PickToTile mode;
  mode.hints = WindowHints::hints(world);
  auto display =
      world.activeDisplayID ? world.setup.displayWithID(*world.activeDisplayID) : std::nullopt;
  if (!display) display = world.setup.fallback();
  if (display) mode.displayID = display->id;
  return mode;
}

std::vector<PickToTile::Choice> PickToTile::choicesFor(int count, const DisplayInfo& display) {
  std::vector<Choice> choices;
  auto offer = [&](std::string name, TileShape shape, std::optional<LayoutRef> layout) {
    bool offered = std::any_of(choices.begin(), choices.end(),
                               [&](const Choice& choice) { return choice.shape == shape; });
    if (!offered) choices.push_back({std::move(name), std::move(shape), std::move(layout)});
  };
  CGSize size = display.visibleFrame.size;
  for (auto style : allTilingStyles())
    offer(std::string(kestles::title(style)), shapeForCount(count, size, style, true),
          std::nullopt);
  for (const auto& entry : Template::all())
    if (static_cast<int>(entry.shape.tileCount()) == count && entry.fits.contains(display.shape()))
      offer(entry.name, entry.shape, LayoutRef::templateLayout(entry.id));
  choices.push_back({kFill, fillShape(count), std::nullopt});
  return choices;
}

PickToTile::Outcome PickToTile::toggle(const std::string& letter) {
  auto hint = std::find_if(hints.begin(), hints.end(), [&](const WindowHints::Hint& h) {
    return letter.size() == 1 && std::toupper(static_cast<unsigned char>(letter[0])) == h.letter;
  });
  if (hint == hints.end()) return Outcome::refused;
  auto at = std::find(picked.begin(), picked.end(), hint->window);
  if (at != picked.end()) {
    picked.erase(at);
  } else {
    if (static_cast<int>(picked.size()) >= mostWindows) return Outcome::refused;
    picked.push_back(hint->window);
  }
  return Outcome::changed;
}

PickToTile::Outcome PickToTile::arrange(const World& world) {
  auto display = world.setup.displayWithID(displayID);
  if (picked.empty() || !display) return Outcome::refused;
  auto offered = choicesFor(static_cast<int>(picked.size()), *display);
  // Keeps the way chosen before when it is still offered (after a display or count change).
  int keep = 0;
  if (stage == Stage::choosing && chosen < static_cast<int>(choices.size()))
    for (int i = 0; i < static_cast<int>(offered.size()); ++i)
      if (offered[i].name == choices[chosen].name) keep = i;
  choices = std::move(offered);
  chosen = keep;
  stage = Stage::choosing;
  return Outcome::changed;
}

PickToTile::Outcome PickToTile::handle(const Key& key, const World& world) {
  if (const auto* letter = std::get_if<Key::Letter>(&key.value))
    return stage == Stage::picking ? toggle(letter->letter) : Outcome::refused;
  if (const auto* choose = std::get_if<Key::Choose>(&key.value)) {
    if (picked.empty()) return Outcome::refused;
    if (stage == Stage::picking) arrange(world);
    if (choose->number < 1 || choose->number > static_cast<int>(choices.size()))
      return Outcome::refused;
    chosen = choose->number - 1;
    return Outcome::changed;
  }
  if (const auto* rotate = std::get_if<Key::Rotate>(&key.value)) {
    if (picked.size() < 2) return Outcome::refused;
    if (rotate->backward)
      std::rotate(picked.begin(), picked.begin() + 1, picked.end());
    else
      std::rotate(picked.rbegin(), picked.rbegin() + 1, picked.rend());
    return Outcome::changed;
  }
  if (const auto* display = std::get_if<Key::Display>(&key.value)) {
    auto displays = world.setup.ordered();
    if (display->number < 1 || display->number > static_cast<int>(displays.size()))
      return Outcome::refused;
    displayID = displays[display->number - 1].id;
    if (stage == Stage::choosing) arrange(world);
    return Outcome::changed;
  }
  int count = static_cast<int>(choices.size());
  switch (std::get<Key::Plain>(key.value)) {
    case Key::Plain::unpickLast:
      if (stage != Stage::picking || picked.empty()) return Outcome::refused;
      picked.pop_back();
      return Outcome::changed;
    case Key::Plain::arrange:
      return arrange(world);
    case Key::Plain::next:
    case Key::Plain::previous:
      if (stage != Stage::choosing || count == 0) return Outcome::refused;
      chosen =
          (chosen + (std::get<Key::Plain>(key.value) == Key::Plain::next ? 1 : count - 1)) % count;
      return Outcome::changed;
    case Key::Plain::tile:
      if (picked.empty()) return Outcome::refused;
      if (stage == Stage::picking) arrange(world);
      return pick() ? Outcome::tile : Outcome::refused;
    case Key::Plain::back:
      if (stage != Stage::choosing) return Outcome::refused;
      stage = Stage::picking;
      return Outcome::changed;
    case Key::Plain::close:
      return Outcome::closed;
  }
  return Outcome::refused;
}

std::optional<PickToTile::Pick> PickToTile::pick() const {
  if (picked.empty() || chosen >= static_cast<int>(choices.size())) return std::nullopt;
  return Pick{picked, displayID, choices[chosen]};
}

std::string PickToTile::title(const std::vector<std::string>& appNames) {
  std::vector<std::string> names;
  for (const auto& name : appNames)
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  if (names.empty()) return kPickedWindows;
  if (names.size() > 3) {
    char more[48];
    std::snprintf(more, sizeof more, kMoreFormat, static_cast<long long>(names.size() - 2));
    return names[0] + " + " + names[1] + " + " + more;
  }
  std::string title = names[0];
  for (std::size_t i = 1; i < names.size(); ++i)
    title += " + " + names[i];
  return title;
}

std::string PickToTile::title() const {
  std::vector<std::string> names;
  for (auto window : picked)
    for (const auto& hint : hints)
      if (hint.window == window) names.push_back(hint.appName);
  return title(names);
}

}  // namespace kestles
