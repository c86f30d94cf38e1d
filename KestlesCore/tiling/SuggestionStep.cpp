#include "KestlesCore/tiling/SuggestionStep.hpp"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"
#include "KestlesCore/coding/Lossy.hpp"

namespace kestles {
namespace {

std::vector<std::uint32_t> windowSet(std::span<const std::uint32_t> windows) {
  std::vector<std::uint32_t> set(windows.begin(), windows.end());
  std::sort(set.begin(), set.end());
  set.erase(std::unique(set.begin(), set.end()), set.end());
  return set;
}

std::optional<std::size_t> indexOf(const Suggestions::Board& board, const std::string& id) {
  for (std::size_t i = 0; i < board.suggestions.size(); ++i)
    if (board.suggestions[i].id == id) return i;
  return std::nullopt;
}

/// Whether the last step still describes the display: same display, same windows, and
/// those windows where its suggestion put them.
bool continues(const SuggestionStep& last, const Suggestions::Board& board,
               const std::vector<std::uint32_t>& windows) {
  if (last.displayID != board.displayID || last.windows != windows) return false;
  const Suggestion* applied = board.suggestion(last.current);
  return applied && applied->isInPlace();
}

/// The first suggestion after `from` in the order (wrapping) that is on the board and is
/// not `from` itself.
std::optional<std::size_t> after(const Suggestions::Board& board,
                                 const std::vector<std::string>& order, const std::string& from) {
  auto start = std::find(order.begin(), order.end(), from);
  std::size_t position = start == order.end() ? order.size() : start - order.begin();
  for (std::size_t step = 1; step <= order.size(); ++step) {
    const auto& id = order[(position + step) % order.size()];
    if (id == from) continue;
    if (auto index = indexOf(board, id)) return index;
  }
  return std::nullopt;
}

}  // namespace

std::optional<SuggestionChoice> chooseSuggestion(const Suggestions::Board& board,
                                                 std::span<const std::uint32_t> windows,
                                                 const std::optional<SuggestionStep>& last) {
  if (board.suggestions.empty()) return std::nullopt;
  SuggestionStep step{board.displayID, windowSet(windows), {}, {}};
  std::size_t chosen = 0;
  if (last && continues(*last, board, step.windows)) {
    step.order = last->order;
    // Suggestions that were not on the board the steps began with join at the end.
    for (const auto& suggestion : board.suggestions)
      if (std::find(step.order.begin(), step.order.end(), suggestion.id) == step.order.end())
        step.order.push_back(suggestion.id);
    chosen = after(board, step.order, last->current).value_or(*indexOf(board, last->current));
  } else {
    for (const auto& suggestion : board.suggestions)
      step.order.push_back(suggestion.id);
    auto moving = std::find_if(board.suggestions.begin(), board.suggestions.end(),
                               [](const Suggestion& s) { return !s.isInPlace(); });
    chosen = moving == board.suggestions.end() ? 0 : moving - board.suggestions.begin();
  }
  step.current = board.suggestions[chosen].id;
  auto next = after(board, step.order, step.current);
  return SuggestionChoice{chosen, next, std::move(step)};
}

void to_json(nlohmann::json& json, const SuggestionStep& step) {
  json = {{"displayID", step.displayID},
          {"windows", step.windows},
          {"order", step.order},
          {"current", step.current}};
}

void from_json(const nlohmann::json& json, SuggestionStep& step) {
  coding::requireObject(json, "a suggestion step");
  SuggestionStep read;
  read.displayID = coding::required<std::string>(json, "displayID");
  read.current = coding::required<std::string>(json, "current");
  read.windows = windowSet(coding::lossyList<std::uint32_t>(json, "windows"));
  read.order = coding::lossyList<std::string>(json, "order");
  step = std::move(read);
}

}  // namespace kestles
