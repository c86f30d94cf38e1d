#include "KestlesCore/tiling/Suggestions.hpp"

#include <gtest/gtest.h>

#include <set>

#include "KestlesCore/layout/LayoutSolver.hpp"
#include "KestlesCore/layout/Template.hpp"
#include "SuggestionsTestSupport.hpp"

namespace kestles {
namespace {

using namespace kestles::testing;

constexpr App kOtherB{"org.example.Other", "Other"};  // other, 1
constexpr App kOtherC{"org.example.Third", "Third"};  // other, 1

std::vector<std::string> idsOf(const Suggestions::Board& board) {
  std::vector<std::string> ids;
  for (const auto& suggestion : board.suggestions)
    ids.push_back(suggestion.id);
  return ids;
}

int scoreOf(const Suggestions::Board& board, const std::string& id) {
  const Suggestion* suggestion = board.suggestion(id);
  return suggestion ? suggestion->score : -1000;
}

SavedLayout savedLayout(const char* name, LayoutNode tree, std::optional<DisplayKind> display) {
  SavedLayout layout;
  layout.name = name;
  layout.shape = TileShape::tree(std::move(tree));
  layout.display = std::move(display);
  return layout;
}

LayoutNode equalColumns(int count) {
  std::vector<LayoutNode> tiles(count, LayoutNode::tile());
  for (auto& tile : tiles)
    tile.id = UUID::random();
  return LayoutNode::columns(std::move(tiles));
}

TEST(SuggestionsTests, WindowsTakeTilesByRoleWeightThenFrontToBack) {
  struct Row {
    const char* what;
    std::vector<WindowSnapshot> windows;
    std::vector<std::uint32_t> order;
  };
  const Row rows[] = {
      // Terminal 0 + 3, Safari 4 + 1, Xcode 6, Music −4.
      {"roles outweigh the front",
       {windowOf(1, kTerminal, 0), windowOf(2, kSafari, 1), windowOf(3, kXcode, 2),
        windowOf(4, kMusic, 3)},
       {3, 2, 1, 4}},
      // Mail 2 + 3, Xcode 6 + 1, Notes 4, Safari 4: the tie keeps Notes (nearer the front).
      {"ties keep front to back",
       {windowOf(1, kMail, 0), windowOf(2, kXcode, 1), windowOf(3, kSafari, 3),
        windowOf(4, kNotes, 2)},
       {2, 1, 4, 3}},
      // Listed back to front: the front is the smallest zIndex, not the first listed.
      {"front by zIndex",
       {windowOf(1, kSlack, 2), windowOf(2, kTerminal, 0), windowOf(3, kSlack, 1)},
       {2, 3, 1}},
      // A media app in front still goes after chat: −4 + 3 < 0 + 1.
      {"media last", {windowOf(1, kMusic, 0), windowOf(2, kSlack, 1)}, {2, 1}},
  };
  for (const auto& row : rows) {
    std::vector<std::uint32_t> order;
    for (const auto& window : Suggestions::windowOrder(row.windows))
      order.push_back(window.id);
    EXPECT_EQ(order, row.order) << row.what;
  }
}

TEST(SuggestionsTests, KeyCountsRolesWhateverIsInFront) {
  auto a = Suggestions::key(std::vector{windowOf(1, kSafari, 0), windowOf(2, kXcode, 1)},
                            DisplayShape::wide);
  auto b = Suggestions::key(std::vector{windowOf(7, kXcode, 0), windowOf(8, kSafari, 1)},
                            DisplayShape::wide);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a, (TilingMemory::Key{2, {AppRole::editor, AppRole::browser}, DisplayShape::wide}));

  struct Row {
    DisplayInfo display;
    DisplayShape shape;
  };
  auto builtInExternal = externalDisplay();
  builtInExternal.isBuiltIn = true;
  const Row rows[] = {{laptopDisplay(), DisplayShape::laptop},
                      {externalDisplay(), DisplayShape::wide},
                      {builtInExternal, DisplayShape::laptop},
                      {ultrawideDisplay(), DisplayShape::ultrawide},
                      {portraitDisplay(), DisplayShape::portrait}};
  for (const auto& row : rows)
    EXPECT_EQ(Suggestions::board(requestFor(row.display, {windowOf(1, kXcode, 0)})).key.shape,
              row.shape)
        << row.display.name;
}

TEST(SuggestionsTests, CountFit) {
  struct Row {
    int tiles, windows, term;
  };
  const Row rows[] = {
      {3, 3, 40},  {4, 3, -25}, {2, 3, -15},
      {1, 3, -30}, {2, 8, -60},  // six windows without a tile, held at 60
      {7, 5, -50},
  };
  for (const auto& row : rows)
    EXPECT_EQ(Suggestions::countFit(row.tiles, row.windows), row.term)
        << row.tiles << " tiles, " << row.windows << " windows";
}

TEST(SuggestionsTests, CandidatesPerCountAndDisplayShapeWithTheStyleMerged) {
  struct Expected {
    std::string name;
    int bonus;
  };
  struct Row {
    DisplayInfo display;
    int count;
    TilingStyle style;
    std::vector<Expected> candidates;
  };
  const Row rows[] = {
      // The grid's two windows are "Halves": the template takes the style's 15.
      {laptopDisplay(),
       2,
       TilingStyle::grid,
       {{"Halves", 25},
        {"Halves, Stacked", 0},
        {"Two Thirds + Third", 5},
        {"Third + Two Thirds", 3}}},
      {ultrawideDisplay(),
       3,
       TilingStyle::columns,
       {{"Thirds", 25}, {"Main + Two", 5}, {"Centered + Sides", 10}, {"Wide + Two Narrow", 3}}},
      // 0.62 / 0.38 is not "Main Above Two" (0.6 / 0.4): the style's shape joins with 15.
      {portraitDisplay(),
       3,
       TilingStyle::mainStack,
       {{"Thirds, Stacked", 10}, {"Main Above Two", 8}, {"Main + Stack", 15}}},
      {externalDisplay(), 5, TilingStyle::grid, {{"Grid", 15}}},
      {externalDisplay(), 6, TilingStyle::grid, {{"Three by Two", 25}}},
      {laptopDisplay(), 1, TilingStyle::spiral, {{"Centered", 0}, {"Reading", 0}, {"Spiral", 15}}},
  };
  for (const auto& row : rows) {
    auto request = requestFor(row.display, {});
    request.style = row.style;
    std::vector<Expected> made;
    for (const auto& candidate : Suggestions::candidates(request, row.count)) {
      made.push_back({candidate.name, candidate.bonus});
      EXPECT_FALSE(candidate.isSaved);
    }
    ASSERT_EQ(made.size(), row.candidates.size()) << row.display.name << " " << row.count;
    for (std::size_t i = 0; i < made.size(); ++i) {
      EXPECT_EQ(made[i].name, row.candidates[i].name) << row.display.name << " " << row.count;
      EXPECT_EQ(made[i].bonus, row.candidates[i].bonus) << made[i].name;
    }
  }
}

// A misspelt id in the offer table would silently never offer its template.
TEST(SuggestionsTests, EveryTemplateIsOfferedForSomeDisplayShape) {
  std::set<std::string> offered;
  for (auto display : {laptopDisplay(), externalDisplay(), ultrawideDisplay(), portraitDisplay()})
    for (int count = 1; count <= 9; ++count)
      for (const auto& candidate : Suggestions::candidates(requestFor(display, {}), count))
        if (candidate.layout && !candidate.layout->savedID())
          offered.insert(std::get<LayoutRef::Template>(candidate.layout->value).identifier);
  std::set<std::string> all;
  for (const auto& entry : Template::all())
    all.insert(entry.id);
  EXPECT_EQ(offered, all);
}

TEST(SuggestionsTests, SavedLayoutsWithinOneTileWithTheAspectRule) {
  // The laptop is 1512 × 982, an aspect of about 1.5397.
  std::vector<SavedLayout> layouts{
      savedLayout("Same name", equalColumns(2),
                  DisplayKind{"GONE", "Built-in Retina Display", true, 1.0}),
      savedLayout("Same id", equalColumns(2), DisplayKind{"LAPTOP", "Renamed", true, 3.0}),
      savedLayout("Close aspect", equalColumns(2), DisplayKind{"X", "Old", false, 1.6}),  // 3.8 %
      savedLayout("Far aspect", equalColumns(2), DisplayKind{"Y", "Old", false, 1.7}),    // 9.4 %
      savedLayout("Anywhere", equalColumns(2), std::nullopt),
      savedLayout("One more", equalColumns(3), std::nullopt),
      savedLayout("One less", equalColumns(1), std::nullopt),
      savedLayout("Two more", equalColumns(4), std::nullopt),
  };
  auto request = requestFor(laptopDisplay(), {});
  request.savedLayouts = layouts;
  std::vector<std::pair<std::string, int>> saved;
  for (const auto& candidate : Suggestions::candidates(request, 2)) {
    if (!candidate.isSaved) continue;
    saved.emplace_back(candidate.name, candidate.bonus);
    EXPECT_TRUE(candidate.layout && candidate.layout->savedID());
  }
  EXPECT_EQ(saved, (std::vector<std::pair<std::string, int>>{{"Same name", 30},
                                                             {"Same id", 30},
                                                             {"Close aspect", 30},
                                                             {"Far aspect", 15},
                                                             {"Anywhere", 15},
                                                             {"One more", 15},
                                                             {"One less", 15}}));
}

TEST(SuggestionsTests, ScoreTermsForRolesMainTilesAndDisplayShapes) {
  struct Row {
    const char* what;
    DisplayInfo display;
    std::vector<WindowSnapshot> windows;
    std::vector<std::pair<std::string, int>> scores;  // best first, as ranked
  };
  const Row rows[] = {
      // Two role weights and an editor first: a main tile earns 20. Halves has the style's
      // 15 (25 + 100 + 40); the tie with Two Thirds + Third keeps the order made.
      {"main-worthy",
       laptopDisplay(),
       {windowOf(1, kXcode, 0), windowOf(2, kSafari, 1)},
       {{"template:halves", 165},
        {"template:two-thirds-third", 165},
        {"template:third-two-thirds", 163},
        {"template:halves-stacked", 140}}},
      // One role weight: a main tile costs 10, equal tiles earn 10.
      {"one role weight",
       laptopDisplay(),
       {windowOf(1, kTerminal, 0), windowOf(2, kSlack, 1)},
       {{"template:halves", 175},
        {"template:halves-stacked", 150},
        {"template:two-thirds-third", 135},
        {"template:third-two-thirds", 133}}},
      // Mail goes first (2 + 3 against 0 + 1) but its weight 1 is not main-worthy.
      {"not main-worthy",
       laptopDisplay(),
       {windowOf(1, kMail, 0), windowOf(2, kTerminal, 1)},
       {{"template:halves", 165},
        {"template:two-thirds-third", 145},
        {"template:third-two-thirds", 143},
        {"template:halves-stacked", 140}}},
      // More than two columns earn 10 on an ultrawide display; the grid's three windows
      // are "Main + Two" (5 + 15).
      {"ultrawide",
       ultrawideDisplay(),
       {windowOf(1, kXcode, 0), windowOf(2, kSafari, 1), windowOf(3, kTerminal, 2)},
       {{"template:main-stack-2", 180},
        {"template:centered-sides", 180},
        {"template:wide-two-narrow", 163},
        {"template:thirds", 160}}},
      // A tree of rows earns 10 on a portrait display; the grid's three are "Thirds, Stacked".
      {"portrait",
       portraitDisplay(),
       {windowOf(1, kXcode, 0), windowOf(2, kSafari, 1), windowOf(3, kTerminal, 2)},
       {{"template:main-above-two", 178}, {"template:thirds-stacked", 175}}},
  };
  for (const auto& row : rows) {
    auto board = Suggestions::board(requestFor(row.display, row.windows));
    std::vector<std::pair<std::string, int>> scores;
    for (const auto& suggestion : board.suggestions)
      scores.emplace_back(suggestion.id, suggestion.score);
    EXPECT_EQ(scores, row.scores) << row.what;
  }
}

TEST(SuggestionsTests, DrawnSavedLayoutsAreScoredByTheirUnitRectangles) {
  // 70 % and 30 % side by side: a main tile for an editor first (15 + 100 + 40 + 20); the
  // windows land in the drawn frames on the laptop's visible frame.
  SavedLayout drawn;
  drawn.name = "Drawn";
  drawn.shape =
      TileShape::drawn({{UUID::random(), {0, 0, 0.7, 1}}, {UUID::random(), {0.7, 0, 0.3, 1}}});
  std::vector<SavedLayout> layouts{drawn};
  auto request = requestFor(laptopDisplay(), {windowOf(1, kSafari, 1), windowOf(2, kXcode, 0)});
  request.savedLayouts = layouts;
  auto board = Suggestions::board(request);
  const Suggestion* suggestion = board.suggestion("saved:" + drawn.id.uuidString());
  ASSERT_NE(suggestion, nullptr);
  EXPECT_EQ(suggestion->score, 175);
  EXPECT_EQ(suggestion->windowSlots(), (std::vector<std::optional<std::uint32_t>>{2u, 1u}));
  EXPECT_GT(suggestion->tiles[0]->size->width, suggestion->tiles[1]->size->width * 2);
}

TEST(SuggestionsTests, ATileExactlyOnePointSixTimesTheNextIsAMainTile) {
  // Ranked rows weighted 1.6, 0.5 and 1 are solved with the last row taking what is left,
  // and the quotient of the areas computes as 1.5999999999999996: the shape lost its main
  // tile to the last bits of a double and scored 20 below rows weighted 1.7, 0.5 and 1,
  // which differ in nothing else the score looks at.
  auto rowsWeighted = [](double first) {
    std::vector<LayoutNode> tiles{LayoutNode::tile(first, 0), LayoutNode::tile(0.5, 1),
                                  LayoutNode::tile(1, 2)};
    for (auto& tile : tiles)
      tile.id = UUID::random();
    return LayoutNode::rows(std::move(tiles));
  };
  std::vector<SavedLayout> layouts{savedLayout("At", rowsWeighted(1.6), std::nullopt),
                                   savedLayout("Past", rowsWeighted(1.7), std::nullopt)};
  for (auto& layout : layouts)
    layout.id = UUID::random();
  auto request = requestFor(laptopDisplay(), {windowOf(1, kXcode, 0), windowOf(2, kSafari, 1),
                                              windowOf(3, kTerminal, 2)});
  request.savedLayouts = layouts;
  auto board = Suggestions::board(request);
  int at = scoreOf(board, "saved:" + layouts[0].id.uuidString());
  int past = scoreOf(board, "saved:" + layouts[1].id.uuidString());
  ASSERT_GT(past, -1000);
  EXPECT_EQ(at, past);
}

TEST(SuggestionsTests, KnownSizeLimitsCostWhereTilesDoNotSuitThem) {
  // Halves on the laptop are 744 × 928 (8-point gaps in 1512 × 944). A window of at most
  // 600 × 400 leaves 690432 − 240000 = 450432 of 1427328 points empty: 150 × that share
  // is 47.3, so 47 comes off 175. In the two-thirds tile (992 × 928) it would leave more
  // than 60 worth, and the cost stops at 60.
  auto capped = windowOf(1, kOther, 0);
  capped.maximumSize = {600, 400};
  auto board = Suggestions::board(requestFor(laptopDisplay(), {capped, windowOf(2, kOtherB, 1)}));
  EXPECT_EQ(scoreOf(board, "template:halves"), 175 - 47);
  EXPECT_EQ(scoreOf(board, "template:two-thirds-third"), 135 - 60);

  // Three columns on the portrait display are 349 or 350 wide: narrower than 360 − 0.5 for
  // windows of at least 500 × 300, 30 each, and the three minimums (1500) cannot fit 1048
  // across: 60 more. 15 + 100 + 40 + 10 − 90 − 60. It stays on the board although its
  // tiles are small, because the user saved it.
  std::vector<WindowSnapshot> wide{windowOf(1, kOther, 0), windowOf(2, kOtherB, 1),
                                   windowOf(3, kOtherC, 2)};
  for (auto& window : wide)
    window.minimumSize = {500, 300};
  std::vector<SavedLayout> layouts{savedLayout("Three Columns", equalColumns(3), std::nullopt)};
  auto request = requestFor(portraitDisplay(), wide);
  request.savedLayouts = layouts;
  auto portrait = Suggestions::board(request);
  EXPECT_EQ(scoreOf(portrait, "saved:" + layouts[0].id.uuidString()), 15);
  // The same windows without limits: no size term at all.
  for (auto& window : request.windows)
    window.minimumSize = {};
  EXPECT_EQ(scoreOf(Suggestions::board(request), "saved:" + layouts[0].id.uuidString()), 165);
}

TEST(SuggestionsTests, RememberedPicksLeadTheBoard) {
  std::vector<WindowSnapshot> windows{windowOf(1, kXcode, 0), windowOf(2, kSafari, 1)};
  auto key = Suggestions::key(windows, DisplayShape::laptop);
  TilingMemory memory;
  for (int i = 0; i < 5; ++i)
    memory.record("template:halves", key);
  for (int i = 0; i < 3; ++i)
    memory.record("template:third-two-thirds", key);
  memory.record("template:halves-stacked", {2, {AppRole::editor}, DisplayShape::laptop});
  auto request = requestFor(laptopDisplay(), windows);
  request.memory = &memory;
  auto board = Suggestions::board(request);
  // Three picks, the last: 35; five picks, not the last: 15; another key's pick: nothing.
  EXPECT_EQ(idsOf(board),
            (std::vector<std::string>{"template:third-two-thirds", "template:halves",
                                      "template:two-thirds-third", "template:halves-stacked"}));
  EXPECT_EQ(scoreOf(board, "template:third-two-thirds"), 163 + 35);
  EXPECT_EQ(scoreOf(board, "template:halves"), 165 + 15);
  EXPECT_EQ(scoreOf(board, "template:halves-stacked"), 140);
}

TEST(SuggestionsTests, StaysCountWindowsAlreadyWhereTheirTilesWouldPutThem) {
  // Halves on the laptop: (8, 46, 744, 928) and (760, 46, 744, 928). Safari can be at most
  // 600 × 400, so it lands centred in its tile at (832, 310).
  auto xcode = windowOf(1, kXcode, 0, {28, 26, 744, 928});  // 20 points off: stays
  auto safari = windowOf(2, kSafari, 1, {832, 310, 600, 400});
  safari.maximumSize = {600, 400};
  struct Row {
    double safariShift;
    int stays;
    const char* subtitle;
  };
  const Row rows[] = {{0, 2, "Xcode, Safari · 2 stay"},
                      {24, 2, "Xcode, Safari · 2 stay"},
                      {30, 1, "Xcode, Safari · 1 stay"}};
  for (const auto& row : rows) {
    auto moved = safari;
    moved.frame = moved.frame.offsetBy(0, row.safariShift);
    auto board = Suggestions::board(requestFor(laptopDisplay(), {xcode, moved}));
    const Suggestion* halves = board.suggestion("template:halves");
    ASSERT_NE(halves, nullptr);
    EXPECT_EQ(halves->stays, row.stays) << row.safariShift;
    EXPECT_EQ(halves->subtitle, row.subtitle);
    ASSERT_EQ(halves->tiles.size(), 2u);
    EXPECT_EQ(halves->tiles[1]->window, 2u);
    EXPECT_EQ(halves->tiles[1]->size, (CGSize{600, 400}));
    EXPECT_EQ(halves->tiles[0]->size, (CGSize{744, 928}));
  }
}

TEST(SuggestionsTests, RankingDropsRepeatedTilesAndKeepsAtMostSix) {
  // The same tiles as "Halves": saved on this display (30 + 140) it beats the template
  // (165), which is dropped; saved elsewhere (15 + 140) it is dropped itself.
  std::vector<SavedLayout> layouts{
      savedLayout("Mine", equalColumns(2), DisplayKind::of(laptopDisplay())),
      savedLayout("Elsewhere", equalColumns(2), std::nullopt)};
  auto request = requestFor(laptopDisplay(), {windowOf(1, kXcode, 0), windowOf(2, kSafari, 1)});
  request.savedLayouts = layouts;
  EXPECT_EQ(
      idsOf(Suggestions::board(request)),
      (std::vector<std::string>{"saved:" + layouts[0].id.uuidString(), "template:two-thirds-third",
                                "template:third-two-thirds", "template:halves-stacked"}));

  std::vector<SavedLayout> many;
  for (int i = 0; i < 10; ++i) {
    std::vector<LayoutNode> tiles{LayoutNode::tile(1 + i), LayoutNode::tile(), LayoutNode::tile(),
                                  LayoutNode::tile()};
    many.push_back(savedLayout("Four", LayoutNode::columns(std::move(tiles)), std::nullopt));
  }
  auto crowded = requestFor(ultrawideDisplay(), {windowOf(1, kXcode, 0), windowOf(2, kSafari, 1),
                                                 windowOf(3, kMail, 2), windowOf(4, kSlack, 3)});
  crowded.savedLayouts = many;
  EXPECT_EQ(Suggestions::board(crowded).suggestions.size(), Suggestions::kMostSuggestions);
}

TEST(SuggestionsTests, ShapesWithUnusablySmallTilesGoWhileOthersRemain) {
  std::vector<WindowSnapshot> nine;
  for (std::uint32_t id = 1; id <= 9; ++id)
    nine.push_back(windowOf(id, kOther, id));
  // On 1024 × 768 "Three by Three" tiles are about 330 × 245: it would score 160 against
  // the grid's four tiles' 65, but only the grid's usable tiles are offered.
  DisplayInfo small{"SMALL", "Small", {0, 0, 1024, 768}, {0, 0, 1024, 768}, false, false};
  EXPECT_EQ(idsOf(Suggestions::board(requestFor(small, nine))),
            (std::vector<std::string>{"template:quarters"}));
  // With nothing usable, the small tiles are offered after all.
  DisplayInfo tiny{"TINY", "Tiny", {0, 0, 640, 480}, {0, 0, 640, 480}, false, false};
  EXPECT_EQ(idsOf(Suggestions::board(requestFor(tiny, nine))),
            (std::vector<std::string>{"template:three-by-three", "template:quarters"}));
}

TEST(SuggestionsTests, BoardTitles) {
  struct Row {
    int windows, turnedOff;
    std::optional<std::string> fullScreenApp;
    const char* title;
  };
  const Row rows[] = {
      {2, 0, "Safari", "Safari is full screen on Studio"},
      {0, 0, std::nullopt, "Nothing on Studio to tile"},
      {0, 2, std::nullopt, "No windows chosen on Studio"},
      {1, 0, std::nullopt, "For Studio · 1 window"},
      {3, 0, std::nullopt, "For Studio · 3 windows"},
      {1, 1, std::nullopt, "For Studio · 1 of 2 windows"},
      {2, 3, std::nullopt, "For Studio · 2 of 5 windows"},
  };
  for (const auto& row : rows) {
    Suggestions::Board board;
    board.displayName = "Studio";
    board.windowCount = row.windows;
    board.turnedOff = row.turnedOff;
    board.fullScreenApp = row.fullScreenApp;
    EXPECT_EQ(board.title(), row.title);
  }
}

TEST(SuggestionsTests, SubtitlesNameAppsOnceAndAtMostThree) {
  // Window order Xcode, Safari, Mail, Terminal, Music; the grid's five tiles hold them all.
  auto board = Suggestions::board(requestFor(
      externalDisplay(), {windowOf(1, kMusic, 4), windowOf(2, kSafari, 1), windowOf(3, kMail, 2),
                          windowOf(4, kXcode, 0), windowOf(5, kTerminal, 3)}));
  ASSERT_EQ(idsOf(board).size(), 1u);
  EXPECT_EQ(board.suggestions[0].title, "Grid");
  EXPECT_EQ(board.suggestions[0].subtitle, "Xcode, Safari, Mail + 2 more");

  auto twoSafaris = Suggestions::board(requestFor(
      laptopDisplay(), {windowOf(1, kSafari, 0), windowOf(2, kSafari, 1), windowOf(3, kXcode, 2)}));
  EXPECT_EQ(twoSafaris.suggestions.at(0).subtitle, "Safari, Xcode");
}

TEST(SuggestionsTests, FullScreenAppsAndEmptyDisplaysGetNoSuggestions) {
  auto request = requestFor(externalDisplay(), {windowOf(1, kSafari, 0)});
  request.fullScreenApp = "Safari";
  auto board = Suggestions::board(request);
  EXPECT_TRUE(board.suggestions.empty());
  EXPECT_EQ(board.windowCount, 1);
  EXPECT_EQ(board.title(), "Safari is full screen on Studio");

  auto empty = requestFor(externalDisplay(), {});
  empty.turnedOff = 2;
  EXPECT_TRUE(Suggestions::board(empty).suggestions.empty());
}

TEST(SuggestionsTests, FillKeepsWindowsInTheTilesReadOffTheScreen) {
  // Safari stands in the wide left part, Xcode on the right, whatever their roles say.
  auto request = requestFor(laptopDisplay(), {windowOf(1, kXcode, 0), windowOf(2, kSafari, 1)});
  request.fromScreen = Suggestions::FromScreen{
      TileShape::tree(LayoutNode::columns({LayoutNode::tile(0.7), LayoutNode::tile(0.3)})),
      {2u, 1u}};
  auto board = Suggestions::board(request);
  const Suggestion* fill = board.suggestion(kFillSuggestionID);
  ASSERT_NE(fill, nullptr);
  EXPECT_EQ(fill->title, "Fill");
  EXPECT_TRUE(fill->fillsFromScreen);
  EXPECT_EQ(fill->windowSlots(), (std::vector<std::optional<std::uint32_t>>{2u, 1u}));
  auto arrangement = fill->arrangement("LAPTOP");
  ASSERT_TRUE(arrangement);
  EXPECT_TRUE(arrangement->fillsFromScreen);
  EXPECT_EQ(arrangement->name, "fill");
}

TEST(SuggestionsTests, TheArrangementReadOffTheScreenFillsTheDisplay) {
  // Laptop visible frame (0, 38, 1512, 944): Safari on the left, Xcode beside it and Notes
  // below Xcode, with empty room all round that the filled arrangement closes.
  auto screen =
      Suggestions::FromScreen::readOff(std::vector{windowOf(1, kXcode, 0, {760, 100, 600, 300}),
                                                   windowOf(2, kSafari, 1, {100, 100, 600, 700}),
                                                   windowOf(3, kNotes, 2, {760, 450, 600, 350})},
                                       laptopDisplay().visibleFrame);
  ASSERT_TRUE(screen);
  EXPECT_EQ(screen->windows, (std::vector<std::optional<std::uint32_t>>{2u, 1u, 3u}));
  const auto& tree = std::get<TileShape::Tree>(screen->shape.value).node;
  EXPECT_EQ(tree.leaves().size(), 3u) << "no spacer is left";
  auto tiles =
      LayoutSolver::solve(screen->shape, laptopDisplay().visibleFrame, Gaps{0, 0}).tileFrames;
  ASSERT_EQ(tiles.size(), 3u);
  EXPECT_EQ(tiles[0], CGRect(0, 38, 756, 944));
  EXPECT_EQ(tiles[1].maxX(), 1512);
  EXPECT_EQ(tiles[2].maxY(), 982);

  // Windows piled on one another stand in no arrangement.
  EXPECT_FALSE(
      Suggestions::FromScreen::readOff(std::vector{windowOf(1, kXcode, 0, {100, 100, 600, 500}),
                                                   windowOf(2, kSafari, 1, {110, 110, 600, 500})},
                                       laptopDisplay().visibleFrame));
  EXPECT_FALSE(Suggestions::FromScreen::readOff(std::vector<WindowSnapshot>{},
                                                laptopDisplay().visibleFrame));
}

}  // namespace
}  // namespace kestles
