#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/tiling/Suggestions.hpp"

namespace kestles {

/// How a repeated Tile Windows on the same windows lays them out another way. The app keeps
/// the last step in its session state. A request continues the step when it is for the same
/// display and the same set of windows and those windows still stand where the last
/// suggestion put them; it then applies the next suggestion of the order the step began
/// with, wrapping round. The order is kept rather than re-read from each new board because
/// recording a pick in tiling memory reorders the board, and re-reading it would bounce
/// between the first two suggestions.
struct SuggestionStep {
  std::string displayID;
  std::vector<std::uint32_t> windows;  // the window set, ascending
  std::vector<std::string> order;      // suggestion ids in the order stepped through
  std::string current;                 // the id applied last

  bool operator==(const SuggestionStep&) const = default;
};

/// What a Tile Windows request applies and what to remember afterwards.
struct SuggestionChoice {
  std::size_t index = 0;            // into the board's suggestions
  std::optional<std::size_t> next;  // what a further request would apply, if anything else
  SuggestionStep step;              // to keep once the choice is applied
  bool operator==(const SuggestionChoice&) const = default;
};

/// The suggestion a Tile Windows request applies for a board of these windows. Without
/// a step to continue: the first suggestion that would move a window (a display already
/// laid out as the best suggestion gets the next one). Nothing for a board without
/// suggestions.
std::optional<SuggestionChoice> chooseSuggestion(const Suggestions::Board& board,
                                                 std::span<const std::uint32_t> windows,
                                                 const std::optional<SuggestionStep>& last);

/// Keys "displayID", "windows", "order", "current". Reading needs an object with the
/// display id and the current id; unreadable list items are dropped.
void to_json(nlohmann::json& json, const SuggestionStep& step);
void from_json(const nlohmann::json& json, SuggestionStep& step);

}  // namespace kestles
