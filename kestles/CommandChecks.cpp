#include "kestles/CommandChecks.hpp"

#include <concepts>

#include "KestlesCore/command/NameLookup.hpp"

namespace kestles::tool {
namespace {

using C = KestlesCommand;

template <class Value, class... Values>
concept OneOf = (std::same_as<Value, Values> || ...);

/// The lookup's failure, or nothing when it found its record.
template <class Record>
std::optional<Failure> failed(const Lookup<Record>& lookup) {
  if (const auto* failure = failureOf(lookup)) return *failure;
  return std::nullopt;
}

/// The check of every command, one overload each: a command added to `KestlesCommand`
/// without a check here does not compile.
class Checker {
 public:
  explicit Checker(const CheckSources& sources) : sources_(sources) {}

  std::optional<Failure> operator()(const C::Kestle& kestle) const {
    return withLibrary(
        [&](const Library& library) { return failed(lookUpKestle(library, kestle.name)); });
  }
  std::optional<Failure> operator()(const C::Save& save) const {
    if (!save.update) return std::nullopt;
    return withLibrary(
        [&](const Library& library) { return failed(lookUpKestle(library, save.name)); });
  }
  std::optional<Failure> operator()(const C::NextKestle& next) const {
    return withLibrary(
        [&](const Library& library) { return failed(lookUpNextKestle(library, next.offset)); });
  }
  std::optional<Failure> operator()(const C::Layout& layout) const {
    return withLibrary([&](const Library& library) {
      if (auto error = failed(lookUpLayout(library, layout.name))) return error;
      return checkDisplay(layout.display);
    });
  }
  std::optional<Failure> operator()(const C::Tile& tile) const {
    if (auto error = checkDisplay(tile.display)) return error;
    const auto* app = std::get_if<TileApps::Named>(&tile.apps.value);
    if (app == nullptr) return std::nullopt;
    return failed(lookUpOpenApp(sources_.openApps(), app->name));
  }
  std::optional<Failure> operator()(const C::SwapDisplays&) const {
    if (sources_.displays().size() >= 2) return std::nullopt;
    return Failure{"There’s only one display, so nothing to swap it with."};
  }
  std::optional<Failure> operator()(const C::KeepTiled& keepTiled) const {
    return checkDisplay(keepTiled.display);
  }
  std::optional<Failure> operator()(const C::LeaveOut& leaveOut) const {
    if (!leaveOut.app) return std::nullopt;
    return failed(lookUpApp(sources_.openApps(), sources_.installedApps(), *leaveOut.app));
  }
  std::optional<Failure> operator()(const C::Debug&) const {
    if (sources_.debugLinksOn()) return std::nullopt;
    return Failure{
        "Debug links are off. Turn them on with: kestles-app defaults write co.quillmoss.Kestles "
        "KestlesDebugLinks -bool true"};
  }
  /// Commands that name nothing: they may always be sent.
  template <OneOf<C::TileAllDisplays, C::Snap, C::Focus, C::Swap, C::RetileTiles, C::Gaps, C::Open,
                  C::Tour, C::ShowMe, C::Welcome, C::ShowTip, C::MakeMain, C::TileOrFloat, C::Hints,
                  C::MoveToTile, C::PickWindows, C::EditTiles, C::ArrangeWithKeys, C::Undo, C::Redo,
                  C::Panel, C::Status, C::Keys, C::Quit>
                Value>
  std::optional<Failure> operator()(const Value&) const {
    return std::nullopt;
  }

 private:
  /// Runs a check that needs the library; the library is read only for these.
  template <class Check>
  std::optional<Failure> withLibrary(Check check) const {
    auto loaded = sources_.library();
    if (const auto* error = failureOf(loaded)) return *error;
    return check(std::get<Library>(loaded));
  }

  std::optional<Failure> checkDisplay(const std::optional<std::string>& name) const {
    if (!name) return std::nullopt;
    return failed(lookUpDisplay(DisplaySetup{sources_.displays()}, *name));
  }

  const CheckSources& sources_;
};

}  // namespace

std::optional<Failure> checkCommand(const KestlesCommand& command, const CheckSources& sources) {
  return std::visit(Checker{sources}, command.value);
}

}  // namespace kestles::tool
