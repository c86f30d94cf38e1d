#include "kestles/ManPage.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "kestles/HelpText.hpp"

namespace kestles::tool {
namespace {

// The manual is written from the help: every usage line with its whole description, those
// on a line of their own included, so that the two cannot drift apart.
TEST(ManPageTests, EntriesComeFromTheHelpsUsageLines) {
  auto entries = ManPage::entriesOfHelp(
      "Usage: kestles <command>\n\n"
      "  undo                       Put back what the last\n"
      "                             arrangement moved.\n"
      "  import <file> [--settings]\n"
      "                             Bring in a file.\n"
      "  help, --version\n\n"
      "Names match in any case.\n");
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].usage, "undo");
  EXPECT_EQ(entries[0].summary, "Put back what the last arrangement moved.");
  EXPECT_EQ(entries[1].usage, "import <file> [--settings]");
  EXPECT_EQ(entries[1].summary, "Bring in a file.");
  EXPECT_EQ(entries[2].usage, "help, --version");
  EXPECT_EQ(entries[2].summary, "");

  auto fromHelp = ManPage::entriesOfHelp(helpText());
  EXPECT_TRUE(std::ranges::any_of(fromHelp, [](const auto& entry) {
    return entry.usage == "save <name> [--update]" && entry.summary.ends_with("of that name.");
  }));
}

// Roff reads a leading dot as a request and a backslash as an escape; options keep their
// hyphens as minus signs so that they can be copied from the page.
TEST(ManPageTests, RoffEscapesWhatRoffWouldRead) {
  const ManPage page{"kestles",
                     "1",
                     "arrange windows",
                     "kestles <command>",
                     "COMMANDS",
                     {{"tile --all-displays", ".kestles files \\ more"}},
                     {{"FILES", "one\n\ntwo"}}};
  EXPECT_EQ(page.roff("1.0"),
            ".TH KESTLES 1 \"\" \"Kestles 1.0\" \"Kestles\"\n"
            ".SH NAME\nkestles \\- arrange windows\n"
            ".SH SYNOPSIS\n.B kestles <command>\n"
            ".SH COMMANDS\n.TP\n.B tile \\-\\-all\\-displays\n\\&.kestles files \\e more\n"
            ".SH FILES\n.PP\none\n.PP\ntwo\n");
}

}  // namespace
}  // namespace kestles::tool
