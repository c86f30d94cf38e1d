#include "KestlesCore/text/Text.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace kestles::text {
namespace {

TEST(Text, FoldsCaseDiacriticsAndWidthButNotOtherCompatibilityForms) {
  struct Row {
    const char* input;
    const char* expected;
  };
  const Row rows[] = {
      {"Deep Work", "deep work"},
      {"Café", "cafe"},
      {"CAFE\xCC\x81", "cafe"},          // combining acute accent
      {"\xEF\xBC\xA7rid", "grid"},       // fullwidth G
      {"\xEF\xBD\xB1", "\xE3\x82\xA2"},  // halfwidth katakana A becomes the plain one
      {"Stra\xC3\x9F"
       "e",
       "strasse"},                       // ß folds to ss
      {"\xE2\x91\xA0", "\xE2\x91\xA0"},  // a circled digit is not a width form
      {"x\xC2\xB2", "x\xC2\xB2"},        // nor is a superscript
      {"\xFF"
       "a",
       "\xEF\xBF\xBD"
       "a"},  // invalid bytes become U+FFFD
  };
  for (const auto& row : rows)
    EXPECT_EQ(folded(row.input), row.expected) << row.input;
}

TEST(Text, TrimsReducesAndCountsCharacters) {
  EXPECT_EQ(trimmed(" \t\xE2\x80\x83Left Half\xC2\xA0\n"), "Left Half");
  EXPECT_EQ(trimmed("   "), "");
  EXPECT_EQ(lettersAndDigits("left-half 2/3 é!"), "lefthalf23é");
  EXPECT_EQ(normalized("  Left Half "), "lefthalf");
  EXPECT_EQ(characterCount("Cafe\xCC\x81"), 4u);
  EXPECT_EQ(characterCount("\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x92\xBB"), 1u);  // ZWJ sequence
  EXPECT_EQ(characterCount("\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA"), 1u);              // a flag
  EXPECT_EQ(characterCount(""), 0u);
}

TEST(Text, NameRuleTakesExactMatchThenTheOnlyPrefix) {
  const std::vector<std::string> names{"Code", "Code Review", "Café", "Writing", "Web"};
  struct Row {
    const char* typed;
    std::optional<std::size_t> expected;
  };
  const Row rows[] = {
      {"code", 0},    // exact beats the longer name that starts the same way
      {" CODE ", 0},  // trimmed and folded
      {"code r", 1},  // the only name with that start
      {"cafe", 2},    // diacritics folded
      {"CAFÉ", 2},
      {"W", std::nullopt},  // two names start with W
      {"wr", 3},
      {"", std::nullopt},  // an empty name matches nothing
      {"  ", std::nullopt},
      {"Zebra", std::nullopt},
  };
  for (const auto& row : rows)
    EXPECT_EQ(matchName(row.typed, names), row.expected) << row.typed;
}

TEST(Text, NameRuleTakesTheFirstOfEqualNames) {
  const std::vector<std::string> names{"Mail", "mail", "MAIL"};
  EXPECT_EQ(matchName("mail", names), 0u);
}

TEST(Text, LowercasesWithoutALocale) {
  EXPECT_EQ(lowercased("KESTLE"), "kestle");
  EXPECT_EQ(lowercased("\xE2\x84\xAA"
                       "estle"),
            "kestle");  // the Kelvin sign lower-cases to k
  EXPECT_EQ(lowercased("ÉCRAN"), "écran");
}

TEST(Text, SplitsCharactersAsGraphemeClustersAndClassifiesThem) {
  EXPECT_EQ(characters("a\r\nb"), (std::vector<std::string>{"a", "\r\n", "b"}));
  EXPECT_EQ(
      characters("Cafe\xCC\x81\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7"),
      (std::vector<std::string>{"C", "a", "f", "e\xCC\x81", "\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7"}));
  EXPECT_TRUE(characters("").empty());
  EXPECT_TRUE(characterClass("\xC3\x89").isUppercase);  // É
  EXPECT_TRUE(characterClass("\xC3\xA9").isLowercase);  // é
  EXPECT_TRUE(characterClass("7").isLetterOrDigit);
  EXPECT_FALSE(characterClass("-").isLetterOrDigit);
  EXPECT_TRUE(characterClass("\xE3\x80\x80").isWhiteSpace);  // ideographic space
}

TEST(Text, EscapesControlCharactersAndInvalidBytes) {
  // Regression: titles and classes from other programs reached logs and terminals raw, so a
  // line break forged a log line and an escape sequence rewrote the screen.
  struct Row {
    std::string text;
    std::string doubled;  // as a log writes it
    std::string kept;     // as a listing prints it
  };
  const Row rows[] = {
      {"Caf\xC3\xA9 \xE2\x80\x94 \xE2\x80\x9Cok\xE2\x80\x9D",
       "Caf\xC3\xA9 \xE2\x80\x94 \xE2\x80\x9Cok\xE2\x80\x9D",
       "Caf\xC3\xA9 \xE2\x80\x94 \xE2\x80\x9Cok\xE2\x80\x9D"},
      {"a\nb\tc\rd", "a\\nb\\tc\\rd", "a\\nb\\tc\\rd"},
      {"\x1B[31mRed\x07", "\\x1B[31mRed\\x07", "\\x1B[31mRed\\x07"},
      {std::string("nul\0x", 5), "nul\\x00x", "nul\\x00x"},
      {"del\x7F", "del\\x7F", "del\\x7F"},
      {"csi\xC2\x9B"
       "2J \xC2\x80",
       "csi\\xC2\\x9B2J \\xC2\\x80", "csi\\xC2\\x9B2J \\xC2\\x80"},  // the C1 controls
      {"nbsp\xC2\xA0", "nbsp\xC2\xA0", "nbsp\xC2\xA0"},              // printable, though near them
      {"bad\xFF\xC3", "bad\\xFF\\xC3", "bad\\xFF\\xC3"},             // bytes that are not UTF-8
      {"cut\xE2\x82"
       "A",
       "cut\\xE2\\x82A", "cut\\xE2\\x82A"},
      {"back\\x1B", "back\\\\x1B", "back\\x1B"},  // a typed escape cannot pass for a real one
      {"", "", ""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(escapedControls(row.text), row.doubled) << row.doubled;
    EXPECT_EQ(escapedControls(row.text, Backslash::kept), row.kept) << row.kept;
    EXPECT_EQ(repairedUTF8(row.doubled), row.doubled);  // always valid UTF-8
  }
}

TEST(Text, DropsACharacterThatACutLeftUnfinished) {
  // Regression: a title cut at the read's byte limit in the middle of a character ended in
  // bytes that are not UTF-8.
  struct Row {
    std::string bytes;
    std::string kept;
  };
  const Row rows[] = {
      {"plain", "plain"},
      {"", ""},
      {"caf\xC3", "caf"},                                // 1 of 2 bytes
      {"caf\xC3\xA9", "caf\xC3\xA9"},                    // whole
      {"euro\xE2\x82", "euro"},                          // 2 of 3
      {"euro\xE2", "euro"},                              // 1 of 3
      {"euro\xE2\x82\xAC", "euro\xE2\x82\xAC"},          // whole
      {"face\xF0\x9F\x98", "face"},                      // 3 of 4
      {"face\xF0\x9F\x98\x80", "face\xF0\x9F\x98\x80"},  // whole
      {"stray\x80\x80", "stray\x80\x80"},                // invalid, but not unfinished: kept
      {"bad\xFF", "bad\xFF"},                            // never a lead byte: kept
      {"\xE2\x82\xAC\xE2\x82\xAC\xE2", "\xE2\x82\xAC\xE2\x82\xAC"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(withoutPartialEnd(row.bytes), row.kept) << row.kept;
}

}  // namespace
}  // namespace kestles::text
