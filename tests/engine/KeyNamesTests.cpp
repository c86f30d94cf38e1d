#include "KestlesEngine/engine/KeyNames.hpp"

#include <gtest/gtest.h>

#include "KestlesEngine/engine/LayoutWatcher.hpp"
#include "KestlesEngine/sim/SimKeyboard.hpp"

namespace kestles::engine {
namespace {

using Change = platform::KeyboardLayout::Change;

TEST(KeyNamesTests, NamesKeysByWhatTheLayoutShows) {
  struct Case {
    const char* name;
    std::int64_t keyCode;
    std::string shows;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"a letter is upper-cased", 6, "y", "Y"},
      {"beyond ASCII", 41, "ö", "Ö"},
      {"punctuation stays", 43, ",", ","},
      {"trimmed", 50, " ^\n", "^"},
      {"white space only", 49, " ", std::nullopt},
      {"a return", 36, "\r", std::nullopt},
      {"nothing shown", 105, "", std::nullopt},
      {"the last key code", 0xFFFF, "x", "X"},
      {"beyond 16 bits", 0x10000, "x", std::nullopt},
      {"negative", -1, "x", std::nullopt},
  };
  for (const auto& c : cases) {
    sim::SimKeyboard keyboard;
    keyboard.setKey(static_cast<std::uint16_t>(c.keyCode), c.shows);
    KeyNames names(keyboard);
    EXPECT_EQ(names.name(c.keyCode), c.expected) << c.name;
  }
}

TEST(KeyNamesTests, NoLayoutOrAFailedTranslationGivesNoNameAndIsAskedAgain) {
  sim::SimKeyboard keyboard;
  KeyNames names(keyboard);
  keyboard.removeLayout();
  EXPECT_EQ(names.name(6), std::nullopt);
  keyboard.switchLayout({});  // a layout again, whose translation of the key fails
  keyboard.failKey(6, -50);
  EXPECT_EQ(names.name(6), std::nullopt);
  keyboard.setKey(6, "z");
  EXPECT_EQ(names.name(6), "Z");
  EXPECT_EQ(keyboard.translations(), 3);
}

TEST(KeyNamesTests, KeepsAnswersUntilTheWatcherSeesTheLayoutChange) {
  sim::SimKeyboard keyboard;
  keyboard.setKey(6, "z");
  KeyNames names(keyboard);
  LayoutWatcher watcher(keyboard, names);
  watcher.start();
  watcher.start();
  EXPECT_EQ(keyboard.observers(), 2u);

  EXPECT_EQ(names.name(6), "Z");
  EXPECT_EQ(names.name(105), std::nullopt);
  keyboard.setKey(6, "y");  // changed under the cache, with no word of it
  EXPECT_EQ(names.name(6), "Z");
  EXPECT_EQ(names.name(105), std::nullopt);
  EXPECT_EQ(keyboard.translations(), 2);

  for (auto change : {Change::selectedSourceChanged, Change::enabledSourcesChanged}) {
    keyboard.switchLayout({{6, "a"}}, change);
    EXPECT_EQ(names.name(6), "A");
    keyboard.switchLayout({{6, "b"}}, change);
    EXPECT_EQ(names.name(6), "B");
  }

  watcher.stop();
  EXPECT_EQ(keyboard.observers(), 0u);
  keyboard.switchLayout({{6, "c"}});
  EXPECT_EQ(names.name(6), "B");
}

TEST(KeyNamesTests, TheWatcherStopsObservingWhenItGoes) {
  sim::SimKeyboard keyboard;
  KeyNames names(keyboard);
  {
    LayoutWatcher watcher(keyboard, names);
    watcher.start();
  }
  EXPECT_EQ(keyboard.observers(), 0u);
  keyboard.switchLayout({{6, "c"}});  // would reach a watcher that is gone
  EXPECT_EQ(names.name(6), "C");
}

}  // namespace
}  // namespace kestles::engine
