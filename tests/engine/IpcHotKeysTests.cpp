#include "KestlesEngine/ipc/IpcHotKeys.hpp"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace kestles::ipc {
namespace {

TEST(IpcHotKeys, WritesCombinationsAsTheCompositorNamesThem) {
  struct Row {
    int modifiers;
    const char* key;
    const char* combo;
  };
  const Row rows[] = {
      {KeyModifiers::command | KeyModifiers::option, "Left", "Mod4+Mod1+Left"},
      {KeyModifiers::control | KeyModifiers::shift | KeyModifiers::option | KeyModifiers::command,
       "a", "Mod4+Mod1+Control+Shift+a"},
      {KeyModifiers::control, "Return", "Control+Return"},
      {0, "F5", "F5"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(bindingCombo(KeyModifiers{row.modifiers}, row.key), row.combo) << row.combo;
}

// A config may spell one combination many ways; each is the same binding to the compositor.
TEST(IpcHotKeys, ComparesCombinationsWhateverTheirSpelling) {
  struct Row {
    const char* written;
    const char* canonical;
  };
  const Row rows[] = {
      {"Mod4+Mod1+Left", "Mod4+Mod1+left"},
      {"Alt+Super+left", "Mod4+Mod1+left"},
      {"Shift+Ctrl+Return", "Control+Shift+return"},
      {"control+shift+RETURN", "Control+Shift+return"},
      {"Logo+a", "Mod4+a"},
      {"a+Mod4", "Mod4+a"},
      {"Caps+Mod2+Mod3+Mod5+x", "Lock+Mod2+Mod3+Mod5+x"},
      {"XF86AudioMute", "xf86audiomute"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(canonicalCombo(row.written), row.canonical) << row.written;
  EXPECT_EQ(canonicalCombo(bindingCombo(KeyModifiers{KeyModifiers::command}, "Return")),
            canonicalCombo("Super+return"));
}

// Only the default mode's bindings hold a combination: a mode's own do not, and variables,
// flags, comments and `bindsym { … }` blocks are read as the compositor reads them.
TEST(IpcHotKeys, ReadsTheCombinationsTheConfigBinds) {
  const char* config = R"(# a comment: bindsym Mod4+c nothing
set $mod Mod4
set $left h
set $modalt $mod+Mod1
bindsym $mod+Return exec foot
bindsym --to-code $mod+$left focus left
bindsym --release --locked $modalt+q kill
  bindsym Ctrl+Shift+Escape exit
mode "resize" {
    bindsym $mod+Left resize shrink width 10px
    bindsym Return mode "default"
}
bindsym {
    $mod+1 workspace number 1
    --no-repeat $mod+2 workspace number 2
}
input type:keyboard {
    xkb_layout us
}
set $mod Mod1
bindsym $mod+d exec menu
)";
  EXPECT_EQ(boundCombos(config),
            (std::set<std::string>{"Mod4+return", "Mod4+h", "Mod4+Mod1+q", "Control+Shift+escape",
                                   "Mod4+1", "Mod4+2", "Mod1+d"}));
  EXPECT_TRUE(boundCombos("").empty());
  // An unbalanced brace does not take the lines after it out of the default mode's reading.
  EXPECT_EQ(boundCombos("}\nbindsym Mod4+x kill\n"), (std::set<std::string>{"Mod4+x"}));
}

TEST(IpcHotKeys, ReadsItsOwnMarkersOnly) {
  EXPECT_EQ(bindingMarker(4321, 7), "nop kestles 4321:7");
  struct Row {
    const char* command;
    std::optional<std::uint64_t> ref;
  };
  const Row rows[] = {
      {"nop kestles 4321:7", 7},
      {"nop kestles 4321:12", 12},
      {"nop kestles 1234:7", std::nullopt},  // an app that stopped left it behind
      {"nop kestles 4321:", std::nullopt},
      {"nop kestles 4321:7x", std::nullopt},
      {"nop kestles 43210:7", std::nullopt},
      {"exec foot", std::nullopt},
  };
  for (const auto& row : rows)
    EXPECT_EQ(markedRef(row.command, 4321), row.ref) << row.command;
}

}  // namespace
}  // namespace kestles::ipc
