#include "KestlesCore/apply/DisplayChange.hpp"

#include <gtest/gtest.h>

#include "ApplyTestSupport.hpp"

namespace kestles {
namespace {

using namespace apply_testing;

DisplayInfo moved(DisplayInfo display) {
  display.frame = display.frame.offsetBy(100, 50);
  display.name = "Renamed";
  return display;
}

TEST(DisplayChangeTests, OnlyADifferentSetOfIdsIsAChange) {
  EXPECT_FALSE(DisplayChange::make({{laptop(), wide()}}, {{moved(wide()), laptop()}}));
  EXPECT_FALSE(DisplayChange::make({}, {}));

  auto change = DisplayChange::make({{wide(), laptop(), portrait()}},
                                    {{laptop(), ultrawide(), moved(portrait()), portrait()}});
  ASSERT_TRUE(change);
  EXPECT_EQ(change->setup.displays.size(), 4u);
  EXPECT_EQ(change->connected, std::vector<DisplayInfo>{ultrawide()});
  EXPECT_EQ(change->disconnected, std::vector<DisplayKind>{DisplayKind::of(wide())});
}

TEST(DisplayChangeTests, Titles) {
  auto kindOf = [](const DisplayInfo& display) { return DisplayKind::of(display); };
  struct Row {
    std::vector<DisplayInfo> connected;
    std::vector<DisplayKind> disconnected;
    std::string title;
  };
  const Row rows[] = {
      {{ultrawide()}, {kindOf(wide())}, "Ultrawide Display connected"},
      {{ultrawide(), portrait()}, {}, "2 displays connected"},
      {{}, {kindOf(wide())}, "Studio Display disconnected"},
      {{}, {kindOf(wide()), kindOf(portrait()), kindOf(ultrawide())}, "3 displays disconnected"},
  };
  for (const auto& row : rows)
    EXPECT_EQ((DisplayChange{{}, row.connected, row.disconnected}.title()), row.title);
}

struct RuleWorld {
  Kestle work = kestle("Work", {{"LAPTOP", {{screen(laptop(), "halves", {kCode})}}}}, 1);
  Kestle plain = kestle("Plain", {}, 2);
  SavedLayout desk;
  Tiling wideTiling{"WIDE", templateShape("halves"), std::nullopt, {21, 22}, std::nullopt};
  Tiling goneTiling{"GONE", templateShape("halves"), std::nullopt, {11}, std::nullopt};
  DisplayChange change =
      *DisplayChange::make({{laptop()}}, {{laptop(), wide(), ultrawide(), portrait()}});

  RuleWorld() {
    desk.id = idOf(20);
    desk.name = "Desk";
    desk.shape = templateShape("thirds");
  }

  Library library(std::optional<UUID> current) const {
    Library library;
    library.kestles = {work, plain};
    library.layouts = {desk};
    library.currentKestleID = current;
    library.rules = {{DisplayKind::of(wide()), LayoutRef::saved(desk.id)},
                     {DisplayKind::of(ultrawide()), LayoutRef::templateLayout("thirds")},
                     // The first rule for a display counts even when its layout is gone.
                     {DisplayKind::of(portrait()), LayoutRef::saved(idOf(99))},
                     {DisplayKind::of(portrait()), LayoutRef::templateLayout("halves")}};
    return library;
  }
};

TEST(DisplayChangeTests, RuleActions) {
  RuleWorld fixture;
  auto adapt = RuleAction{RuleAction::Adapt{fixture.work}};
  auto back = RuleAction{RuleAction::TilesBack{{fixture.wideTiling}}};
  auto deskOnWide = RuleAction{RuleAction::Layout{LayoutEntry::saved(fixture.desk), wide()}};
  auto thirdsOnUltra = RuleAction{
      RuleAction::Layout{LayoutEntry::templateEntry(*Template::withID("thirds")), ultrawide()}};
  struct Row {
    std::string what;
    std::optional<UUID> current;
    bool adapts, tilesComeBack, rules;
    std::vector<RuleAction> actions;
  };
  const Row rows[] = {
      {"adapting wins alone", idOf(1), true, true, true, {adapt}},
      {"kestle not adapted: tiles only", idOf(1), false, true, true, {back}},
      {"kestle with nothing to offer: tiles only", idOf(2), true, true, true, {back}},
      {"no kestle: returning tiles cover their rule",
       std::nullopt,
       true,
       true,
       true,
       {back, thirdsOnUltra}},
      {"no tiles back: every rule", std::nullopt, true, false, true, {deskOnWide, thirdsOnUltra}},
      {"rules off", std::nullopt, true, true, false, {back}},
      {"nothing on", std::nullopt, true, false, false, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    auto library = fixture.library(row.current);
    library.settings.adaptsToDisplays = row.adapts;
    library.settings.tilesComeBack = row.tilesComeBack;
    library.settings.rulesEnabled = row.rules;
    EXPECT_EQ(fixture.change.ruleActions({fixture.goneTiling, fixture.wideTiling}, library),
              row.actions);
  }
}

TEST(DisplayChangeTests, ActionsBecomeTargets) {
  RuleWorld fixture;
  auto entry = LayoutEntry::saved(fixture.desk);
  EXPECT_EQ(RuleAction{RuleAction::Adapt{fixture.work}}.target(),
            ApplyTarget::kestle(fixture.work));
  EXPECT_EQ((RuleAction{RuleAction::Layout{entry, wide()}}.target()),
            ApplyTarget::layout(entry, "WIDE"));
  EXPECT_EQ(RuleAction{RuleAction::TilesBack{{fixture.wideTiling}}}.target(),
            ApplyTarget::tilesBack({fixture.wideTiling}));
}

TEST(DisplayChangeTests, CurrentKestleUnderRules) {
  RuleWorld fixture;
  auto library = fixture.library(idOf(1));
  EXPECT_EQ(currentKestleUnderRules(library), fixture.work);
  library.currentKestleID.reset();
  EXPECT_FALSE(currentKestleUnderRules(library));

  library.currentKestleID = idOf(1);
  library.rules = {{DisplayKind::of(wide()), LayoutRef::saved(idOf(99))},
                   {DisplayKind::of(wide()), LayoutRef::templateLayout("no-such-template")}};
  EXPECT_FALSE(currentKestleUnderRules(library));  // no rule's layout resolves
  library.rules.push_back({DisplayKind::of(wide()), LayoutRef::templateLayout("halves")});
  EXPECT_EQ(currentKestleUnderRules(library), fixture.work);
  library.settings.rulesEnabled = false;
  EXPECT_FALSE(currentKestleUnderRules(library));
}

TEST(DisplayChangeTests, EqualChangesAndActionsHashAlike) {
  RuleWorld fixture;
  auto again = *DisplayChange::make({{laptop()}}, {{laptop(), wide(), ultrawide(), portrait()}});
  EXPECT_EQ(again, fixture.change);
  EXPECT_EQ(std::hash<DisplayChange>()(again), std::hash<DisplayChange>()(fixture.change));
  auto other = *DisplayChange::make({{laptop()}}, {{laptop(), wide()}});
  EXPECT_NE(std::hash<DisplayChange>()(other), std::hash<DisplayChange>()(fixture.change));
  std::hash<RuleAction> hash;
  EXPECT_NE(hash(RuleAction{RuleAction::TilesBack{{fixture.wideTiling}}}),
            hash(RuleAction{RuleAction::TilesBack{{fixture.goneTiling}}}));
  EXPECT_NE(hash(RuleAction{RuleAction::Adapt{fixture.work}}),
            hash(RuleAction{RuleAction::Adapt{fixture.plain}}));
}

}  // namespace
}  // namespace kestles
