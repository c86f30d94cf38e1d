#include "KestlesCore/keyboard/SystemShortcut.hpp"

#include "KestlesCore/keyboard/ModeKeys.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

namespace kestles {
namespace {

struct Titled {
  int id;
  std::string_view title;
};

constexpr std::array<Titled, 28> kTitles{{
    {7, "Move focus to the menu bar"},
    {8, "Move focus to the Dock"},
    {9, "Move focus to active or next window"},
    {10, "Move focus to the window toolbar"},
    {11, "Move focus to the floating window"},
    {12, "Turn keyboard access on or off"},
    {13, "Change the way Tab moves focus"},
    {27, "Move focus to next window"},
    {28, "Save picture of screen as a file"},
    {29, "Copy picture of screen to the clipboard"},
    {30, "Save picture of selected area as a file"},
    {31, "Copy picture of selected area to the clipboard"},
    {32, "Mission Control"},
    {34, "Mission Control"},
    {33, "Application windows"},
    {35, "Application windows"},
    {52, "Turn Dock hiding on/off"},
    {57, "Move focus to status menus"},
    {60, "Select the previous input source"},
    {61, "Select next source in Input menu"},
    {64, "Show Spotlight search"},
    {65, "Show Finder search window"},
    {79, "Move left a space"},
    {80, "Move left a space"},
    {81, "Move right a space"},
    {82, "Move right a space"},
    {159, "Show contextual menu"},
    {184, "Screenshot and recording options"},
}};

constexpr int kFirstDesktop = 118;
constexpr int kLastDesktop = 133;
constexpr const char* kDesktopFormat = "Switch to Desktop %lld";
constexpr const char* kShortcutFormat = "Shortcut %lld";

std::string formatted(const char* format, long long number) {
  char text[64];
  std::snprintf(text, sizeof text, format, number);
  return text;
}

bool isArrow(int keyCode) {
  return std::find(mode_keys::arrows.begin(), mode_keys::arrows.end(), keyCode) !=
         mode_keys::arrows.end();
}

bool hasEveryArrow(const std::vector<SystemShortcut>& shortcuts, KeyModifiers modifiers) {
  return std::all_of(mode_keys::arrows.begin(), mode_keys::arrows.end(), [&](int arrow) {
    return std::any_of(shortcuts.begin(), shortcuts.end(), [&](const SystemShortcut& s) {
      return s.combo == KeyCombo{arrow, modifiers};
    });
  });
}

std::string listed(const std::vector<std::string>& items) {
  if (items.size() <= 2)
    return items.size() == 2 ? items[0] + " and " + items[1] : (items.empty() ? "" : items[0]);
  std::string text;
  for (std::size_t i = 0; i + 1 < items.size(); ++i)
    text += items[i] + ", ";
  return text + "and " + items.back();
}

}  // namespace

std::string SystemShortcut::title(int id) {
  for (const auto& entry : kTitles)
    if (entry.id == id) return std::string(entry.title);
  if (id >= kFirstDesktop && id <= kLastDesktop)
    return formatted(kDesktopFormat, id - (kFirstDesktop - 1));
  return formatted(kShortcutFormat, id);
}

std::string SystemShortcut::summary(const std::vector<SystemShortcut>& shortcuts) {
  std::string text;
  for (const auto& shortcut : shortcuts) {
    if (!text.empty()) text += '\n';
    text += shortcut.combo.description() + " " + title(shortcut.id);
  }
  return text;
}

std::string SystemShortcut::combos(const std::vector<SystemShortcut>& shortcuts) {
  std::vector<std::string> items;
  auto add = [&](std::string item) {
    if (std::find(items.begin(), items.end(), item) == items.end()) items.push_back(item);
  };
  for (const auto& shortcut : shortcuts) {
    const KeyCombo& combo = shortcut.combo;
    if (isArrow(combo.keyCode) && hasEveryArrow(shortcuts, combo.modifiers))
      add(combo.modifiers.glyphs() + std::string(mode_keys::arrowsShown));
    else
      add(combo.description());
  }
  return listed(items);
}

}  // namespace kestles
