#include "KestlesCore/keys/KeyLabel.hpp"

#include <gtest/gtest.h>

#include "KestlesCore/keys/KeyCombo.hpp"

namespace kestles {
namespace {

TEST(KeyCode, LabelsAndSpecialKeys) {
  struct Row {
    int code;
    const char* label;
    bool special;
  };
  for (auto row : std::initializer_list<Row>{
           {0, "A", false},
           {29, "0", false},
           {42, "\\", false},
           {50, "`", false},
           {49, "Space", true},
           {36, "↩", true},
           {76, "⌤", true},
           {121, "⇟", true},
           {111, "F12", true},
           {105, "Key 105", false},
           {-1, "Key -1", false},
       }) {
    EXPECT_EQ(KeyCode{row.code}.label(), row.label) << row.code;
    EXPECT_EQ(KeyCode{row.code}.isSpecial(), row.special) << row.code;
  }
}

TEST(KeyCode, ExactlyTwentySevenSpecialKeys) {
  int special = 0;
  for (int code = 0; code < 256; ++code)
    special += KeyCode{code}.isSpecial();
  EXPECT_EQ(special, 27);
}

TEST(KeyCombo, DescriptionPutsGlyphsInFixedOrder) {
  struct Row {
    int keyCode;
    int modifiers;
    const char* description;
  };
  for (auto row : std::initializer_list<Row>{
           {123, 3, "⌃⌥←"},
           {0, 15, "⌃⌥⇧⌘A"},
           {0, 8 | 4 | 2 | 1, "⌃⌥⇧⌘A"},
           {105, 12, "⇧⌘Key 105"},
           {49, 0, "Space"},
           {6, 9, "⌃⌘Z"},
       }) {
    EXPECT_EQ((KeyCombo{row.keyCode, KeyModifiers{row.modifiers}}.description()), row.description);
  }
}

TEST(KeyLabel, Typed) {
  struct Row {
    const char* label;
    const char* typed;
  };
  for (auto row : std::initializer_list<Row>{
           {"⌘Space", "⌘\u2009space"},
           {"⌃⌥⇥", "⌃⌥\u2009tab"},
           {"⎋", "esc"},
           {"Space", "space"},
           {"⌃⌥A", "⌃⌥A"},
           {"⌃↩x", "⌃↩x"},
           {"", ""},
       }) {
    EXPECT_EQ(KeyLabel::typed(row.label), row.typed) << row.label;
  }
}

TEST(KeyLabel, Titles) {
  EXPECT_EQ(KeyLabel::title("esc"), "Escape");
  EXPECT_EQ(KeyLabel::title("space"), "Space");
  EXPECT_EQ(KeyLabel::title("return"), "Return");
  EXPECT_EQ(KeyLabel::title("F1"), "F1");
}

TEST(KeyLabel, Spoken) {
  struct Row {
    const char* text;
    const char* spoken;
  };
  for (auto row : std::initializer_list<Row>{
           {"⌃⌥←", "Control Option Left Arrow"},
           {"←→↑↓", "Arrow keys"},
           {"⌃←→↑↓", "Control Arrow keys"},
           {"⌃⌥1\u20139", "Control Option 1 to 9"},
           {"⌘⇧=", "Command Shift Equals"},
           {"⌃⌥\\", "Control Option Backslash"},
           {"⌘Space", "Command Space"},
           {"Key 105", "Key 105"},
           {"⌃  F12 ", "Control F12"},
           {"⇞⇟↖↘⌦", "Page Up Page Down Home End Forward Delete"},
           {"", ""},
       }) {
    EXPECT_EQ(KeyLabel::spoken(row.text), row.spoken) << row.text;
  }
}

// Keys are shown as Linux users write them, whatever order the bits were set in; every
// special key has a word, since the glyphs of another platform mean nothing here.
TEST(KeyLabel, WrittenTheLinuxWay) {
  struct Row {
    int code;
    int modifiers;
    const char* written;
  };
  for (auto row : std::initializer_list<Row>{
           {123, 1 | 2, "Ctrl+Alt+Left"},
           {36, 8, "Super+Return"},
           {0, 15, "Super+Ctrl+Alt+Shift+A"},
           {6, 8 | 4 | 2, "Super+Alt+Shift+Z"},
           {51, 2, "Alt+Backspace"},
           {53, 0, "Esc"},
           {117, 1, "Ctrl+Delete"},
           {116, 8, "Super+Page Up"},
           {24, 10, "Super+Alt+="},
           {18, 8, "Super+1"},
           {105, 8, "Super+Key 105"},
       }) {
    EXPECT_EQ(KeyLabel::written(KeyCombo{row.code, KeyModifiers{row.modifiers}}), row.written);
  }
  EXPECT_EQ(KeyLabel::written(KeyModifiers{}), "");
  EXPECT_EQ(KeyLabel::written(KeyModifiers{10}), "Super+Alt");
}

}  // namespace
}  // namespace kestles
