#include "KestlesCore/library/LayoutEntry.hpp"

#include <gtest/gtest.h>

namespace kestles {
namespace {

TEST(LayoutEntry, ReferencesItsSource) {
  const auto& halves = *Template::withID("halves");
  auto builtIn = LayoutEntry::templateEntry(halves);
  EXPECT_EQ(builtIn.name(), "Halves");
  EXPECT_EQ(builtIn.shape(), halves.shape);
  EXPECT_EQ(builtIn.reference(), LayoutRef::templateLayout("halves"));

  SavedLayout mine = SavedLayout::make("Mine", halves.shape);
  auto saved = LayoutEntry::saved(mine);
  EXPECT_EQ(saved.name(), "Mine");
  EXPECT_EQ(saved.reference(), LayoutRef::saved(mine.id));
  EXPECT_NE(saved, builtIn);
}

}  // namespace
}  // namespace kestles
