#include "KestlesCore/tiling/SuggestionStep.hpp"

#include <gtest/gtest.h>

#include <map>

#include <nlohmann/json.hpp>

#include "KestlesCore/layout/LayoutSolver.hpp"
#include "SuggestionsTestSupport.hpp"

namespace kestles {
namespace {

using namespace kestles::testing;

/// A suggestion for windows 1 and 2 that either already stands on screen or would move them.
Suggestion suggestion(const char* id, bool inPlace) {
  Suggestion made;
  made.id = id;
  made.tiles = {Suggestion::Occupant{1u, "a", "A", std::nullopt},
                Suggestion::Occupant{2u, "b", "B", std::nullopt}};
  made.stays = inPlace ? 2 : 0;
  return made;
}

Suggestions::Board board(std::vector<Suggestion> suggestions) {
  Suggestions::Board made;
  made.displayID = "LAPTOP";
  made.suggestions = std::move(suggestions);
  return made;
}

SuggestionStep stepAt(const char* current, std::vector<std::string> order,
                      std::vector<std::uint32_t> windows = {1, 2}) {
  return {"LAPTOP", std::move(windows), std::move(order), current};
}

TEST(SuggestionStepTests, ChoosesTheNextSuggestionOnlyForTheSameWindowsStillInPlace) {
  const std::vector<std::uint32_t> windows{2, 1};
  struct Row {
    const char* what;
    Suggestions::Board board;
    std::optional<SuggestionStep> last;
    std::size_t index;
    std::optional<std::size_t> next;
    std::vector<std::string> order;
  };
  const Row rows[] = {
      {"fresh",
       board({suggestion("A", false), suggestion("B", false), suggestion("C", false)}),
       std::nullopt,
       0,
       1,
       {"A", "B", "C"}},
      {"fresh on a display already laid out as the best",
       board({suggestion("A", true), suggestion("B", false), suggestion("C", false)}),
       std::nullopt,
       1,
       2,
       {"A", "B", "C"}},
      {"fresh with every suggestion in place",
       board({suggestion("A", true), suggestion("B", true)}),
       std::nullopt,
       0,
       1,
       {"A", "B"}},
      {"repeated",
       board({suggestion("A", true), suggestion("B", false), suggestion("C", false)}),
       stepAt("A", {"A", "B", "C"}),
       1,
       2,
       {"A", "B", "C"}},
      {"repeated at the end wraps",
       board({suggestion("A", false), suggestion("B", false), suggestion("C", true)}),
       stepAt("C", {"A", "B", "C"}),
       0,
       1,
       {"A", "B", "C"}},
      // Recording the picks put C first on this board; the step keeps the order it began
      // with, so it goes on to A instead of bouncing back to the board's second.
      {"the first order holds",
       board({suggestion("C", true), suggestion("B", false), suggestion("A", false)}),
       stepAt("C", {"B", "C", "A"}),
       2,
       1,
       {"B", "C", "A"}},
      {"new suggestions join at the end",
       board({suggestion("A", false), suggestion("B", true), suggestion("D", false)}),
       stepAt("B", {"A", "B"}),
       2,
       0,
       {"A", "B", "D"}},
      {"other windows start afresh",
       board({suggestion("A", false), suggestion("B", true)}),
       stepAt("B", {"A", "B"}, {1, 2, 3}),
       0,
       1,
       {"A", "B"}},
      {"windows moved by hand start afresh",
       board({suggestion("A", false), suggestion("B", false)}),
       stepAt("B", {"A", "B"}),
       0,
       1,
       {"A", "B"}},
      {"a suggestion gone from the board starts afresh",
       board({suggestion("A", false), suggestion("B", false)}),
       stepAt("Z", {"Z", "A", "B"}),
       0,
       1,
       {"A", "B"}},
      {"alone", board({suggestion("A", true)}), stepAt("A", {"A"}), 0, std::nullopt, {"A"}},
  };
  for (const auto& row : rows) {
    auto choice = chooseSuggestion(row.board, windows, row.last);
    ASSERT_TRUE(choice) << row.what;
    EXPECT_EQ(choice->index, row.index) << row.what;
    EXPECT_EQ(choice->next, row.next) << row.what;
    EXPECT_EQ(choice->step,
              (SuggestionStep{"LAPTOP", {1, 2}, row.order, row.board.suggestions[row.index].id}))
        << row.what;
  }
  EXPECT_FALSE(chooseSuggestion(board({}), windows, std::nullopt));
  auto elsewhere = stepAt("A", {"A", "B"});
  elsewhere.displayID = "STUDIO";
  EXPECT_EQ(
      chooseSuggestion(board({suggestion("A", true), suggestion("B", false)}), windows, elsewhere)
          ->step.order,
      (std::vector<std::string>{"A", "B"}));
}

/// Where each window of the suggestion would land, as the app would move it.
std::vector<WindowSnapshot> applied(const Suggestion& suggestion, const DisplayInfo& display,
                                    std::vector<WindowSnapshot> windows) {
  auto frames = LayoutSolver::solve(suggestion.shape, display.visibleFrame, Gaps{}).tileFrames;
  auto slots = suggestion.windowSlots();
  for (auto& window : windows)
    for (std::size_t i = 0; i < slots.size(); ++i)
      if (slots[i] == window.id) window.frame = frames[i];
  return windows;
}

TEST(SuggestionStepTests, RepeatedTileWindowsWalksEveryArrangementAndWrapsWhileMemoryLearns) {
  auto display = laptopDisplay();
  std::vector<WindowSnapshot> windows{windowOf(1, kXcode, 0), windowOf(2, kSafari, 1)};
  const std::vector<std::uint32_t> ids{1, 2};
  TilingMemory memory;
  std::optional<SuggestionStep> last;
  std::vector<std::string> walked;
  for (int request = 0; request < 5; ++request) {
    auto boardRequest = requestFor(display, windows);
    boardRequest.memory = &memory;
    auto made = Suggestions::board(boardRequest);
    auto choice = chooseSuggestion(made, ids, last);
    ASSERT_TRUE(choice);
    const auto& chosen = made.suggestions[choice->index];
    walked.push_back(chosen.id);
    memory.record(chosen.id, made.key);
    windows = applied(chosen, display, windows);
    last = choice->step;
  }
  EXPECT_EQ(walked, (std::vector<std::string>{"template:halves", "template:two-thirds-third",
                                              "template:third-two-thirds",
                                              "template:halves-stacked", "template:halves"}));
}

TEST(SuggestionStepTests, JSON) {
  auto step = stepAt("template:halves", {"template:halves", "saved:X"}, {3, 9});
  nlohmann::json json = step;
  EXPECT_EQ(json, nlohmann::json::parse(R"({"displayID": "LAPTOP", "windows": [3, 9],
      "order": ["template:halves", "saved:X"], "current": "template:halves"})"));
  EXPECT_EQ(json.get<SuggestionStep>(), step);

  // Damaged items are dropped and the window set is put back in order.
  auto damaged = nlohmann::json::parse(R"({"displayID": "LAPTOP", "windows": [9, "x", 3, 9],
      "order": ["a", 4], "current": "a"})");
  EXPECT_EQ(damaged.get<SuggestionStep>(), stepAt("a", {"a"}, {3, 9}));
  EXPECT_ANY_THROW(nlohmann::json::parse(R"({"displayID": "LAPTOP"})").get<SuggestionStep>());
  EXPECT_ANY_THROW(nlohmann::json::parse("[]").get<SuggestionStep>());
}

}  // namespace
}  // namespace kestles
