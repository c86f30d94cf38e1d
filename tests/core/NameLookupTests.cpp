#include "KestlesCore/command/NameLookup.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace kestles {
namespace {

UUID uuid(const char* text) {
  return *UUID::fromString(text);
}

constexpr const char* kCodeID = "11111111-1111-4111-8111-111111111111";
constexpr const char* kThreeID = "22222222-2222-4222-8222-222222222222";
constexpr const char* kWritingID = "ABCDEF12-3333-4333-8333-333333333333";
constexpr const char* kHalvesID = "44444444-4444-4444-8444-444444444444";

Kestle kestle(const char* id, std::string name, std::optional<int> number = std::nullopt) {
  Kestle made;
  made.id = uuid(id);
  made.name = std::move(name);
  made.number = number;
  return made;
}

/// Kestles whose names, numbers and ids can be confused with each other.
Library library() {
  Library made;
  made.kestles = {kestle(kCodeID, "Code", 3), kestle(kThreeID, "3"), kestle(kWritingID, "Writing")};
  SavedLayout halves;
  halves.id = uuid(kHalvesID);
  halves.name = "Halves";  // the same name as a template
  made.layouts = {halves};
  return made;
}

template <class Record>
std::string failure(const Lookup<Record>& lookup) {
  const auto* failed = std::get_if<Failure>(&lookup);
  return failed ? failed->message : "(found)";
}

TEST(NameLookup, KestleByIdentifierThenNumberThenName) {
  struct Row {
    std::string typed;
    const char* expectedID;
  };
  const Row rows[] = {
      {kThreeID, kThreeID},                                  // an identifier wins over everything
      {"abcdef12-3333-4333-8333-333333333333", kWritingID},  // in either case
      {"3", kCodeID},  // the number before the kestle named "3"
      {"+3", kCodeID},
      {"code", kCodeID},      // the name rule
      {" WRIT", kWritingID},  // the only name that starts so
  };
  auto lib = library();
  for (const auto& row : rows) {
    auto found = lookUpKestle(lib, row.typed);
    ASSERT_TRUE(std::holds_alternative<Kestle>(found)) << row.typed;
    EXPECT_EQ(std::get<Kestle>(found).id, uuid(row.expectedID)) << row.typed;
  }
}

TEST(NameLookup, KestleFailuresListTheKestlesOrSayThereAreNone) {
  EXPECT_EQ(failure(lookUpKestle(library(), "Zebra")),
            "No kestle matches “Zebra”. Your kestles: Code, 3, Writing");
  EXPECT_EQ(failure(lookUpKestle(library(), "7")),
            "No kestle matches “7”. Your kestles: Code, 3, Writing");
  EXPECT_EQ(failure(lookUpKestle(Library{}, "Code")),
            "No kestle matches “Code”. There are no kestles yet.");
}

TEST(NameLookup, NextKestleNeedsAKestle) {
  auto lib = library();
  lib.currentKestleID = uuid(kWritingID);
  auto next = lookUpNextKestle(lib, 1);
  ASSERT_TRUE(std::holds_alternative<Kestle>(next));
  EXPECT_EQ(std::get<Kestle>(next).id, uuid(kCodeID));  // wraps round
  EXPECT_EQ(failure(lookUpNextKestle(Library{}, -1)),
            "There are no kestles yet: arrange your windows, then run kestles save NAME.");
}

TEST(NameLookup, LayoutsSavedBeforeBuiltIn) {
  struct Row {
    const char* typed;
    Lookup<LayoutRef> expected;
  };
  const Row rows[] = {
      {"halves", LayoutRef::saved(uuid(kHalvesID))},  // a saved layout wins a tie
      {"Quarters", LayoutRef::templateLayout("quarters")},
      {"three by tw", LayoutRef::templateLayout("three-by-two")},
      {"Halves,", LayoutRef::templateLayout("halves-stacked")},
      {"Thr", Failure{"No layout matches “Thr”. Run kestles list layouts to see them all."}},
      {"", Failure{"No layout matches “”. Run kestles list layouts to see them all."}},
  };
  auto lib = library();
  for (const auto& row : rows)
    EXPECT_EQ(lookUpLayout(lib, row.typed), row.expected) << row.typed;
}

DisplayInfo display(std::string id, std::string name, bool builtIn, bool main) {
  DisplayInfo made;
  made.id = std::move(id);
  made.name = std::move(name);
  made.isBuiltIn = builtIn;
  made.isMain = main;
  return made;
}

TEST(NameLookup, Displays) {
  DisplaySetup setup{{display("A-1", "Built-in Retina Display", true, false),
                      display("B-2", "Studio Display", false, true)}};
  struct Row {
    const char* typed;
    std::optional<std::string> expectedID;
  };
  const Row rows[] = {
      {"B-2", "B-2"},    {"laptop", "A-1"},         {"Main", "B-2"},
      {"studio", "B-2"}, {"Display", std::nullopt},
  };
  for (const auto& row : rows) {
    auto found = lookUpDisplay(setup, row.typed);
    if (row.expectedID) {
      ASSERT_TRUE(std::holds_alternative<DisplayInfo>(found)) << row.typed;
      EXPECT_EQ(std::get<DisplayInfo>(found).id, *row.expectedID);
    } else {
      EXPECT_EQ(failure(found), "No connected display matches “" + std::string(row.typed) +
                                    "”. Your displays: Built-in Retina Display, Studio Display");
    }
  }
  EXPECT_EQ(failure(lookUpDisplay(DisplaySetup{}, "Studio")),
            "No connected display matches “Studio”. There are no displays yet.");
}

TEST(NameLookup, OpenAppsAndInstalledApps) {
  const std::vector<AppSnapshot> running{{10, "com.apple.Safari", "Safari", false},
                                         {11, "com.apple.mail", "Mail", false}};
  const std::vector<AppRef> installed{{"com.apple.Notes", "Notes"}, {"org.x.Mailer", "Mailer"}};

  auto safari = lookUpOpenApp(running, "safari");
  ASSERT_TRUE(std::holds_alternative<AppSnapshot>(safari));
  EXPECT_EQ(std::get<AppSnapshot>(safari).pid, 10);
  EXPECT_EQ(failure(lookUpOpenApp(running, "Notes")),
            "No open app matches “Notes”. Your open apps: Safari, Mail");
  EXPECT_EQ(failure(lookUpOpenApp({}, "Notes")),
            "No open app matches “Notes”. There are no open apps yet.");

  // Each terminal runs its own process, yet the user has one app open: it is named once,
  // with its windows counted, and its start still names it.
  const std::vector<AppSnapshot> terminals{{20, "xterm", "XTerm", false},
                                           {21, "xterm", "XTerm", false},
                                           {22, "firefox", "Firefox", false}};
  std::vector<WindowSnapshot> windows(4);
  for (std::size_t i = 0; i < windows.size(); ++i)
    windows[i].bundleID = i < 3 ? "xterm" : "firefox";
  auto xterm = lookUpOpenApp(terminals, "xt");
  ASSERT_TRUE(std::holds_alternative<AppSnapshot>(xterm));
  EXPECT_EQ(std::get<AppSnapshot>(xterm).pid, 20);
  EXPECT_EQ(failure(lookUpOpenApp(terminals, "Notes", windows)),
            "No open app matches “Notes”. Your open apps: XTerm (3 windows), Firefox (1 window)");
  EXPECT_EQ(failure(lookUpOpenApp(terminals, "Notes")),
            "No open app matches “Notes”. Your open apps: XTerm, Firefox");

  struct Row {
    const char* typed;
    Lookup<AppRef> expected;
  };
  const Row rows[] = {
      {"mail", AppRef{"com.apple.mail", "Mail"}},  // exact beats the installed "Mailer"
      {"Mailer", AppRef{"org.x.Mailer", "Mailer"}},
      {"no", AppRef{"com.apple.Notes", "Notes"}},
      {"Ma", Failure{"No app matches “Ma”, of those open or installed."}},
  };
  for (const auto& row : rows)
    EXPECT_EQ(lookUpApp(running, installed, row.typed), row.expected) << row.typed;
}

}  // namespace
}  // namespace kestles
