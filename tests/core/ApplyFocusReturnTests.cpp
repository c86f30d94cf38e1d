#include "KestlesCore/apply/FocusReturn.hpp"

#include <gtest/gtest.h>

#include "ApplyTestSupport.hpp"

namespace kestles {
namespace {

using namespace apply_testing;

Library threeKestles(std::optional<int> current) {
  Library library;
  library.kestles = {kestle("A", {}, 1), kestle("B", {}, 2), kestle("C", {}, 3)};
  if (current) library.currentKestleID = idOf(*current);
  return library;
}

std::optional<std::string> nameOf(const std::optional<Kestle>& kestle) {
  if (!kestle) return std::nullopt;
  return kestle->name;
}

TEST(ApplyFocusReturnTests, ComesBackToTheKestleBeforeTheFirstRememberedSwitch) {
  FocusReturn memory;
  auto library = threeKestles(1);
  EXPECT_EQ(nameOf(memory.switchTo(idOf(2), true, library)), "B");
  EXPECT_EQ(memory, (FocusReturn{true, idOf(1), idOf(2)}));
  library.currentKestleID = idOf(2);
  EXPECT_EQ(nameOf(memory.switchTo(idOf(3), true, library)), "C");
  EXPECT_EQ(memory, (FocusReturn{true, idOf(1), idOf(3)}));
  library.currentKestleID = idOf(3);
  EXPECT_EQ(nameOf(memory.comeBack(library)), "A");
  EXPECT_EQ(memory, FocusReturn{});
}

TEST(ApplyFocusReturnTests, SwitchingRecordsButReturnsNothingForTheCurrentKestle) {
  FocusReturn memory;
  EXPECT_FALSE(memory.switchTo(idOf(1), true, threeKestles(1)));
  EXPECT_EQ(memory, (FocusReturn{true, idOf(1), idOf(1)}));
  // A switch without remembering disarms and forgets where to come back to.
  EXPECT_EQ(nameOf(memory.switchTo(idOf(2), false, threeKestles(1))), "B");
  EXPECT_EQ(memory, (FocusReturn{false, std::nullopt, idOf(2)}));
}

TEST(ApplyFocusReturnTests, RulesOffOrUnknownKestleChangeNothing) {
  FocusReturn armed{true, idOf(1), idOf(2)};
  auto library = threeKestles(2);
  auto memory = armed;
  EXPECT_FALSE(memory.switchTo(idOf(9), false, library));
  EXPECT_EQ(memory, armed);
  library.settings.rulesEnabled = false;
  EXPECT_FALSE(memory.switchTo(idOf(3), false, library));
  EXPECT_EQ(memory, armed);
}

TEST(ApplyFocusReturnTests, ComingBackClearsEvenWithNothingToReturnTo) {
  struct Row {
    std::string what;
    FocusReturn memory;
    std::optional<int> current;
    bool rules = true;
    std::optional<std::string> result;
  };
  const Row rows[] = {
      {"armed, still current", {true, idOf(1), idOf(2)}, 2, true, "A"},
      {"the user chose another kestle", {true, idOf(1), idOf(2)}, 3, true, std::nullopt},
      {"not armed", {false, idOf(1), idOf(2)}, 2, true, std::nullopt},
      {"rules off", {true, idOf(1), idOf(2)}, 2, false, std::nullopt},
      {"before is the kestle applied", {true, idOf(2), idOf(2)}, 2, true, std::nullopt},
      {"nothing before", {true, std::nullopt, idOf(2)}, 2, true, std::nullopt},
      {"before was deleted", {true, idOf(7), idOf(2)}, 2, true, std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    auto library = threeKestles(row.current);
    library.settings.rulesEnabled = row.rules;
    auto memory = row.memory;
    EXPECT_EQ(nameOf(memory.comeBack(library)), row.result);
    EXPECT_EQ(memory, FocusReturn{});
  }
}

}  // namespace
}  // namespace kestles
