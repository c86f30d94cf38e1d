#include "KestlesCore/palette/PaletteCatalog.hpp"

#include <algorithm>
#include <set>

#include "KestlesCore/layout/Template.hpp"
#include "KestlesCore/model/EnumTable.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

using Plain = PaletteAction::Plain;
using Section = PaletteSection;

struct CommandWords {
  Plain value;
  Section section;
  std::string_view title;
  std::string_view keywords;  // separated by "|"
  // Whether this desktop can carry it out: there are no permissions to grant, no system
  // shortcuts to take over and no updater of the app's own on Linux (the package manager
  // updates it), and no settings window or tour.
  bool offered = true;
};

constexpr EnumTable kCommands{std::to_array<CommandWords>({
    {Plain::toggleFullScreen, Section::snap, "Toggle Full Screen", "Full Screen|Maximize"},
    {Plain::tileWindows, Section::tiling, "Tile Windows", "Arrange|Tile"},
    {Plain::tileAppWindows, Section::tiling, "Tile App Windows", "Tile|This App"},
    {Plain::tileAllDisplays, Section::tiling, "Tile All Displays", "Tile|Every Display"},
    {Plain::makeMain, Section::rearrange, "Make Main", "Main Window|Promote"},
    {Plain::tileOrFloat, Section::tiling, "Tile or Float Window", "Float|Untile"},
    {Plain::windowHints, Section::focusAndSwap, "Window Hints", "Focus|Letters|Jump"},
    {Plain::moveToTile, Section::focusAndSwap, "Move to Tile", "Tile Hints|Letters"},
    {Plain::pickWindows, Section::tiling, "Pick Windows to Tile", "Choose|Select"},
    {Plain::editTiles, Section::rearrange, "Edit Tiles", "Split|Resize|Tile Editor"},
    {Plain::arrangeWithKeys, Section::rearrange, "Arrange with Keys", "Keyboard|Move"},
    {Plain::keepTiled, Section::tiling, "Keep Tiled", "Automatic|Auto Tile"},
    {Plain::saveLayout, Section::layouts, "Save Layout…", "New Layout"},
    {Plain::saveKestle, Section::kestles, "Save as Kestle…", "New Kestle"},
    {Plain::updateKestle, Section::kestles, "Update Kestle", "Save|Kestle"},
    {Plain::stopUsingKestle, Section::kestles, "Stop Using Kestle", "Kestle|Leave"},
    {Plain::undo, Section::history, "Undo", "Back|Revert"},
    {Plain::redo, Section::history, "Redo", "Again"},
    {Plain::allowAccessibility, Section::settings, "Allow Accessibility Access", "Permission|Trust",
     false},
    {Plain::takeSystemKeys, Section::settings, "Take Over System Shortcuts",
     "Shortcuts|Clashes|Keys", false},
    {Plain::showTipsAgain, Section::settings, "Show Tips Again", "Tips|Help", false},
    {Plain::importLibrary, Section::settings, "Import Library…", "Archive|Open"},
    {Plain::exportLibrary, Section::settings, "Export Library…", "Archive|Backup"},
    {Plain::checkForUpdates, Section::settings, "Check for Updates", "Update|Version", false},
    {Plain::quit, Section::settings, "Quit Kestles", "Exit|Close"},
    {Plain::openKestles, Section::settings, "Open Kestles", "Window|Library", false},
    {Plain::tour, Section::settings, "Take the Tour", "Welcome|Learn", false},
})};

constexpr std::array<std::pair<TileEdge, std::string_view>, 4> kEdgeWords{{
    {TileEdge::left, "Left"},
    {TileEdge::right, "Right"},
    {TileEdge::top, "Up"},
    {TileEdge::bottom, "Down"},
}};

struct RetileWords {
  Retile retile;
  std::string_view title;
};

const std::vector<RetileWords> kRetiles{
    {Retile::rotate(1), "Rotate Windows"},
    {Retile::rotate(-1), "Rotate Windows Back"},
    {Retile::flip(Retile::Flip::horizontal), "Flip Tiles Left to Right"},
    {Retile::flip(Retile::Flip::vertical), "Flip Tiles Top to Bottom"},
    {Retile::turn(), "Turn Tiles"},
    {Retile::evenOut(), "Even Out Tiles"},
};

constexpr std::string_view kAskTitle = "Ask the Assistant";
constexpr std::string_view kTileAsPrefix = "Tile as ";
constexpr std::string_view kFloatPrefix = "Float ";

std::vector<std::string> split(std::string_view words) {
  std::vector<std::string> out;
  while (!words.empty()) {
    auto bar = words.find('|');
    out.emplace_back(words.substr(0, bar));
    words = bar == std::string_view::npos ? std::string_view{} : words.substr(bar + 1);
  }
  return out;
}

PaletteItem item(PaletteAction action, Section section, std::string title,
                 std::vector<std::string> keywords = {},
                 std::optional<std::string> subtitle = std::nullopt) {
  return {std::move(action),   section,      std::move(title),
          std::move(subtitle), std::nullopt, std::move(keywords)};
}

class Lists {
 public:
  void add(PaletteItem item) { items_.push_back(std::move(item)); }
  void addCommands(Section section) {
    for (const auto& row : kCommands.rows())
      if (row.section == section && row.offered)
        add(item({row.value}, section, std::string(row.title), split(row.keywords)));
  }
  std::vector<PaletteItem> take() && { return std::move(items_); }

 private:
  std::vector<PaletteItem> items_;
};

/// The names of the apps pinned anywhere in the kestle, in order, each once.
std::optional<std::string> pinnedApps(const Kestle& kestle) {
  std::vector<std::string> names;
  for (const auto& [fingerprint, arrangement] : kestle.arrangements)
    for (const auto& screen : arrangement.screens)
      for (const auto& pin : screen.pins)
        if (pin && std::find(names.begin(), names.end(), pin->name) == names.end())
          names.push_back(pin->name);
  if (names.empty()) return std::nullopt;
  return text::joined(names, ", ");
}

void addKestles(Lists& lists, const Library& library) {
  for (const auto& kestle : library.kestles)
    lists.add(item({PaletteAction::Kestle{kestle.id}}, Section::kestles, kestle.name, {"Kestle"},
                   pinnedApps(kestle)));
  lists.add(item({PaletteAction::NextKestle{1}}, Section::kestles, "Next Kestle", {"Kestle"}));
  lists.add(item({PaletteAction::NextKestle{-1}}, Section::kestles, "Previous Kestle", {"Kestle"}));
  lists.addCommands(Section::kestles);
}

void addLayouts(Lists& lists, const Library& library) {
  for (const auto& layout : Template::all())
    lists.add(item({PaletteAction::Layout{LayoutRef::templateLayout(layout.id)}}, Section::layouts,
                   layout.name, {"Layout"}));
  for (const auto& layout : library.layouts)
    lists.add(item({PaletteAction::Layout{LayoutRef::saved(layout.id)}}, Section::layouts,
                   layout.name, {"Layout", "Saved"}));
  lists.addCommands(Section::layouts);
}

void addTiling(Lists& lists, const World& world) {
  lists.addCommands(Section::tiling);
  for (auto style : allTilingStyles())
    lists.add(item({PaletteAction::TileAs{style}}, Section::tiling,
                   std::string(kTileAsPrefix) + std::string(title(style)), {"Style"}));
  lists.add(item({PaletteAction::Gaps{GapsChange::wider()}}, Section::tiling, "Wider Gaps",
                 {"Gaps", "Spacing"}));
  lists.add(item({PaletteAction::Gaps{GapsChange::narrower()}}, Section::tiling, "Narrower Gaps",
                 {"Gaps", "Spacing"}));
  lists.add(item({PaletteAction::Gaps{GapsChange::points(0)}}, Section::tiling, "No Gaps",
                 {"Gaps", "Spacing"}));
  lists.add(item({PaletteAction::SwapDisplays{1}}, Section::tiling, "Swap Displays",
                 {"Trade", "Monitors"}));
  lists.add(item({PaletteAction::SwapDisplays{-1}}, Section::tiling, "Swap Displays Back",
                 {"Trade", "Monitors"}));
  std::set<std::string> seen;
  for (const auto& app : world.apps)
    if (seen.insert(app.bundleID).second)
      lists.add(item({PaletteAction::FloatApp{{app.bundleID, app.name}}}, Section::tiling,
                     std::string(kFloatPrefix) + app.name, {"Untile"}));
}

void addRearranging(Lists& lists) {
  for (const auto& [retile, title] : kRetiles) {
    std::vector<std::string> keywords;
    for (auto word : searchWords(retile))
      keywords.emplace_back(word);
    lists.add(item({PaletteAction::RetileTiles{retile}}, Section::rearrange, std::string(title),
                   std::move(keywords), std::string(description(retile))));
  }
  lists.addCommands(Section::rearrange);
}

void addFocusAndSwap(Lists& lists) {
  for (const auto& [edge, word] : kEdgeWords)
    lists.add(item({PaletteAction::Focus{edge}}, Section::focusAndSwap,
                   "Focus " + std::string(word), {"Neighbour", "Window"}));
  for (const auto& [edge, word] : kEdgeWords)
    lists.add(item({PaletteAction::Swap{edge}}, Section::focusAndSwap, "Swap " + std::string(word),
                   {"Neighbour", "Trade"}));
  lists.addCommands(Section::focusAndSwap);
}

void addSnapping(Lists& lists) {
  for (auto action : allSnapActions())
    lists.add(
        item({PaletteAction::Snap{action}}, Section::snap, std::string(title(action)), {"Snap"}));
  lists.addCommands(Section::snap);
}

// The settings window's pages and the tour's lessons have no window to open here.
void addSettings(Lists& lists) {
  lists.addCommands(Section::settings);
}

void addWindows(Lists& lists, const World& world) {
  for (const auto& window : world.windows) {
    auto title = window.title.empty() ? window.appName : window.title;
    lists.add(
        item({PaletteAction::Window{window.id}}, Section::windows, title, {}, window.appName));
  }
}

void addHistory(Lists& lists, const UndoHistory& undo) {
  lists.addCommands(Section::history);
  for (auto entry = undo.entries.rbegin(); entry != undo.entries.rend(); ++entry)
    lists.add(item({PaletteAction::History{entry->id}}, Section::history, entry->title, {},
                   entry->name.empty() ? std::nullopt : std::optional(entry->name)));
}

}  // namespace

std::vector<PaletteItem> PaletteCatalog::items(const Library& library, const World& world,
                                               const UndoHistory& undo) {
  Lists lists;
  addKestles(lists, library);
  addLayouts(lists, library);
  addTiling(lists, world);
  addRearranging(lists);
  addFocusAndSwap(lists);
  addSnapping(lists);
  addSettings(lists);
  addWindows(lists, world);
  addHistory(lists, undo);
  return std::move(lists).take();
}

PaletteItem PaletteCatalog::ask(std::string_view request) {
  auto typed = text::trimmed(request);
  return item({PaletteAction::Ask{typed}}, Section::ask, std::string(kAskTitle), {"Assistant"},
              typed);
}

}  // namespace kestles
