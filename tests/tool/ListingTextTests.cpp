#include "kestles/ListingText.hpp"

#include <gtest/gtest.h>

namespace kestles::tool {
namespace {

TEST(ListingText, ControlCharactersInNamesAreEscaped) {
  // Regression: names were printed raw, so a name could hold a line break that looked like a
  // second kestle, or a terminal escape that recoloured or rewrote the screen.
  struct Row {
    std::string name;
    std::string printed;
  };
  const Row rows[] = {
      {"Plain Café — “ok”", "Plain Café — “ok”"},
      {"Two\nLines", "Two\\nLines"},
      {"Tab\tand\rreturn", "Tab\\tand\\rreturn"},
      {"\x1B[31mRed", "\\x1B[31mRed"},
      {std::string("Nul\0here", 8), "Nul\\x00here"},
      {"Del\x7F", "Del\\x7F"},
      {"C1 \xC2\x9B"
       "2J",
       "C1 \\xC2\\x9B2J"},
      {"Not C1 \xC2\xA0", "Not C1 \xC2\xA0"},  // a no-break space is printable
  };
  for (const auto& row : rows) {
    Library library;
    Kestle kestle = Kestle::make(row.name);
    library.kestles.push_back(kestle);
    SavedLayout layout = SavedLayout::make(row.name, TileShape::tree(LayoutNode::tile()));
    library.layouts.push_back(layout);
    EXPECT_EQ(listingText(Listing::kestles, library), row.printed + "\n") << row.printed;
    EXPECT_TRUE(listingText(Listing::layouts, library).starts_with(row.printed + "\n"))
        << row.printed;
    auto all = listingText(Listing::all, library);
    EXPECT_NE(all.find("\n  " + row.printed + "\n"), std::string::npos) << all;
  }
}

}  // namespace
}  // namespace kestles::tool
