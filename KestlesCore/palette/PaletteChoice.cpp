#include "KestlesCore/palette/PaletteChoice.hpp"

#include <algorithm>
#include <optional>

#include "KestlesCore/layout/Template.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

using C = KestlesCommand;
using Plain = PaletteAction::Plain;

/// The link of a plain action, or nothing when no link does what it does.
std::optional<KestlesCommand> linkOf(Plain plain) {
  switch (plain) {
    case Plain::tileWindows:
      return C{C::Tile{}};
    case Plain::tileAppWindows:
      return C{C::Tile{std::nullopt, TileApps::front(), std::nullopt}};
    case Plain::tileAllDisplays:
      return C{C::TileAllDisplays{}};
    case Plain::makeMain:
      return C{C::MakeMain{}};
    case Plain::tileOrFloat:
      return C{C::TileOrFloat{}};
    case Plain::windowHints:
      return C{C::Hints{}};
    case Plain::moveToTile:
      return C{C::MoveToTile{}};
    case Plain::pickWindows:
      return C{C::PickWindows{}};
    case Plain::editTiles:
      return C{C::EditTiles{}};
    case Plain::arrangeWithKeys:
      return C{C::ArrangeWithKeys{}};
    case Plain::keepTiled:
      return C{C::KeepTiled{}};
    case Plain::undo:
      return C{C::Undo{}};
    case Plain::redo:
      return C{C::Redo{}};
    case Plain::openKestles:
      return C{C::Open{}};
    case Plain::tour:
      return C{C::Tour{}};
    default:
      return std::nullopt;
  }
}

/// What the command line offers instead of an item it cannot carry out, if anything.
std::string_view insteadOf(const PaletteAction& action) {
  if (std::holds_alternative<PaletteAction::Ask>(action.value))
    return " Run kestles-app assistant with the sentence instead.";
  const auto* plain = std::get_if<Plain>(&action.value);
  if (plain == nullptr) return "";
  switch (*plain) {
    case Plain::importLibrary:
      return " Run kestles import <file> instead.";
    case Plain::exportLibrary:
      return " Run kestles export [file] instead.";
    case Plain::quit:
      return " Run systemctl --user stop kestles instead.";
    default:
      return "";
  }
}

PaletteChoice elsewhere(const PaletteItem& item) {
  return {PaletteChoice::Elsewhere{text::quoted(item.title) +
                                   " can’t be done from the command line." +
                                   std::string(insteadOf(item.action))}};
}

PaletteChoice gone(const PaletteItem& item) {
  return {PaletteChoice::Elsewhere{text::quoted(item.title) + " is no longer in your library."}};
}

PaletteChoice link(KestlesCommand command) {
  return {PaletteChoice::Link{std::move(command)}};
}

PaletteChoice kestle(const PaletteItem& item, const UUID& id, const Library& library) {
  bool kept = std::ranges::any_of(library.kestles, [&](const Kestle& k) { return k.id == id; });
  return kept ? link(C{C::Kestle{id.uuidString()}}) : gone(item);
}

PaletteChoice layout(const PaletteItem& item, const LayoutRef& ref, const Library& library) {
  if (const auto* builtIn = std::get_if<LayoutRef::Template>(&ref.value)) {
    const auto* found = Template::withID(builtIn->identifier);
    return found ? link(C{C::Layout{found->name, std::nullopt}}) : gone(item);
  }
  auto id = std::get<LayoutRef::Saved>(ref.value).id;
  auto found = std::ranges::find_if(library.layouts, [&](const auto& l) { return l.id == id; });
  return found != library.layouts.end() ? link(C{C::Layout{found->name, std::nullopt}})
                                        : gone(item);
}

}  // namespace

PaletteChoice PaletteChoice::of(const PaletteItem& item, const Library& library) {
  using A = PaletteAction;
  const auto& value = item.action.value;
  if (const auto* plain = std::get_if<Plain>(&value)) {
    auto command = linkOf(*plain);
    return command ? link(std::move(*command)) : elsewhere(item);
  }
  if (const auto* k = std::get_if<A::Kestle>(&value)) return kestle(item, k->value, library);
  if (const auto* l = std::get_if<A::Layout>(&value)) return layout(item, l->value, library);
  if (const auto* w = std::get_if<A::Window>(&value)) return {FocusWindow{w->value}};
  if (const auto* s = std::get_if<A::Snap>(&value)) return link(C{C::Snap{s->value}});
  if (const auto* t = std::get_if<A::TileAs>(&value))
    return link(C{C::Tile{std::nullopt, TileApps::all(), t->value}});
  if (const auto* d = std::get_if<A::SwapDisplays>(&value))
    return link(C{C::SwapDisplays{d->value}});
  if (const auto* r = std::get_if<A::RetileTiles>(&value)) return link(C{C::RetileTiles{r->value}});
  if (const auto* g = std::get_if<A::Gaps>(&value)) return link(C{C::Gaps{g->value}});
  if (const auto* f = std::get_if<A::FloatApp>(&value))
    return link(C{C::LeaveOut{true, f->value.name}});
  if (const auto* lesson = std::get_if<A::Learn>(&value)) return link(C{C::Tour{lesson->value}});
  if (const auto* focus = std::get_if<A::Focus>(&value)) return link(C{C::Focus{focus->value}});
  if (const auto* swap = std::get_if<A::Swap>(&value)) return link(C{C::Swap{swap->value}});
  if (const auto* next = std::get_if<A::NextKestle>(&value))
    return link(C{C::NextKestle{next->value}});
  if (const auto* page = std::get_if<A::Page>(&value)) return link(C{C::Open{page->value}});
  return elsewhere(item);  // history entries and requests to the assistant
}

}  // namespace kestles
