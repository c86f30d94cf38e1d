#include "KestlesCore/session/NothingDone.hpp"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <variant>

#include "KestlesCore/session/CommandPlanner.hpp"

namespace kestles {
namespace {

using Command = KestlesCommand;

constexpr const char* kAlreadyArranged = "The windows already stand in this arrangement.";
constexpr const char* kNoTiles = "The focused window’s display has no tiles; tile it first.";

/// "to the left of the focused one", "above the focused one", …
std::string besideFront(TileEdge edge) {
  switch (edge) {
    case TileEdge::left:
      return "to the left of the focused one";
    case TileEdge::right:
      return "to the right of the focused one";
    case TileEdge::top:
      return "above the focused one";
    case TileEdge::bottom:
      return "below the focused one";
  }
  return {};
}

/// Whether a window at `now` stands at `wanted`: within half a pixel, as frames are read back.
bool sameFrame(const CGRect& now, const CGRect& wanted) {
  auto near = [](double a, double b) { return std::abs(a - b) < 0.5; };
  return near(now.origin.x, wanted.origin.x) && near(now.origin.y, wanted.origin.y) &&
         near(now.size.width, wanted.size.width) && near(now.size.height, wanted.size.height);
}

std::string pixels(double value) {
  auto whole = static_cast<long long>(value);
  return std::to_string(whole) + (whole == 1 ? " pixel" : " pixels");
}

std::string whyGapsStay(const GapsChange& change, const Gaps& gaps) {
  if (std::holds_alternative<GapsChange::Wider>(change.value))
    return "The gaps are already at their widest, " + pixels(gaps.inner) + ".";
  if (std::holds_alternative<GapsChange::Narrower>(change.value))
    return gaps.inner == 0 ? "The gaps are already at their narrowest: there are none."
                           : "The gaps are already at their narrowest, " + pixels(gaps.inner) + ".";
  return "The gaps are already " + pixels(gaps.inner) + ".";
}

struct Explainer {
  const CommandOutcome& outcome;
  const World& world;
  const SessionState& state;
  std::optional<std::uint32_t> front;
  const Gaps& gaps;

  /// Whether the front window's display has tiles in the session.
  bool frontDisplayTiled() const {
    for (const auto& window : world.windows)
      if (front && window.id == *front)
        if (auto display = world.setup.display(window.frame))
          return state.tilings.contains(display->id);
    return false;
  }

  std::optional<std::string> operator()(const Command::Snap&) const {
    return "The window already stands there.";
  }
  std::optional<std::string> operator()(const Command::Focus& command) const {
    return "There’s no window " + besideFront(command.edge) + ".";
  }
  std::optional<std::string> operator()(const Command::Swap& command) const {
    if (!frontDisplayTiled()) return kNoTiles;
    return "There’s no tiled window " + besideFront(command.edge) + " to swap with.";
  }
  std::optional<std::string> operator()(const Command::RetileTiles&) const {
    return frontDisplayTiled() ? "The tiles already stand that way." : kNoTiles;
  }
  std::optional<std::string> operator()(const Command::MakeMain&) const {
    return frontDisplayTiled() ? "The focused window is already in the biggest tile." : kNoTiles;
  }
  std::optional<std::string> operator()(const Command::TileOrFloat&) const {
    return "The focused window’s display has no tiles to put it in.";
  }
  std::optional<std::string> operator()(const Command::SwapDisplays&) const {
    if (world.setup.displays.size() < 2) return "There’s only one display, so nothing to trade.";
    return "Neither display has tiled windows to trade.";
  }
  std::optional<std::string> operator()(const Command::Gaps& command) const {
    return whyGapsStay(command.change, gaps);
  }
  std::optional<std::string> operator()(const Command::Tile&) const {
    return arranged("There are no windows to tile.");
  }
  std::optional<std::string> operator()(const Command::TileAllDisplays&) const {
    return arranged("There are no windows to tile.");
  }
  std::optional<std::string> operator()(const Command::Kestle&) const { return kestleArranged(); }
  std::optional<std::string> operator()(const Command::NextKestle&) const {
    return kestleArranged();
  }
  std::optional<std::string> operator()(const Command::Layout&) const {
    return arranged("There are no windows here to put in the layout’s tiles.");
  }
  /// Every other command opens something (a mode, a window of the app's) or changes a
  /// setting; an outcome that moves nothing is what they do.
  template <class Other>
  std::optional<std::string> operator()(const Other&) const {
    return std::nullopt;
  }

  /// An arrangement moved nothing: it had no tiles to fill (`none`), or the windows stood in
  /// them already.
  std::optional<std::string> arranged(std::string none) const {
    if (!outcome.plan || outcome.plan->tilings.empty()) return none;
    return kAlreadyArranged;
  }
  std::optional<std::string> kestleArranged() const {
    auto title = outcome.plan ? outcome.plan->title : std::string("The kestle");
    return arranged("“" + title + "” has nothing to arrange on these displays.");
  }
};

}  // namespace

bool doesSomething(const CommandOutcome& outcome, const World& world) {
  if (outcome.focus || outcome.keptTiled || outcome.gaps || outcome.floatingApps ||
      outcome.undone || outcome.notice)
    return true;
  for (const auto& [moved, frame] : outcome.frames) {
    auto id = moved;  // clang 14 cannot capture a structured binding
    auto window = std::find_if(world.windows.begin(), world.windows.end(),
                               [id](const WindowSnapshot& each) { return each.id == id; });
    if (window == world.windows.end() || window->isMinimized || !sameFrame(window->frame, frame))
      return true;
  }
  if (!outcome.plan) return false;
  const auto& plan = *outcome.plan;
  return !plan.launches.empty() || !plan.unminimize.empty() || !plan.unhide.empty();
}

std::optional<std::string> whyNothingMoved(const KestlesCommand& command,
                                           const CommandOutcome& outcome, const World& world,
                                           const SessionState& state,
                                           std::optional<std::uint32_t> front, const Gaps& gaps) {
  return std::visit(Explainer{outcome, world, state, front, gaps}, command.value);
}

}  // namespace kestles
