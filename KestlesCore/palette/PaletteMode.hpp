#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "KestlesCore/keyboard/TypedKey.hpp"
#include "KestlesCore/palette/PaletteIndex.hpp"
#include "KestlesCore/palette/PaletteItem.hpp"
#include "KestlesCore/palette/PaletteRecents.hpp"

namespace kestles {

/// The palette on screen, without the screen: the text typed into its field, the groups the
/// index ranks for it, the item chosen with the arrows and the rows that fit the panel.
class PaletteMode {
 public:
  /// How many rows (headings and items) the panel lists at once.
  static constexpr std::size_t kShownRows = 12;

  struct Row {
    std::string
        text;  // a heading, or an item's title, " — " and subtitle, then a tab and its detail
    bool isHeading = false;
    bool operator==(const Row&) const = default;
  };

  /// What a key did.
  enum class Outcome {
    unchanged,  // a key the palette does not take, or one with nothing to act on
    changed,    // the text or the choice moved
    closed,     // Escape
    chosen,     // Return on an item: `chosen()` names it
  };

  PaletteMode(std::vector<PaletteItem> items, PaletteRecents recents);

  /// Letters and other printable keys type into the field (Shift upper-cases a letter),
  /// Backspace takes the last character back (Ctrl+Backspace the last word, Ctrl+U all),
  /// Up and Down (Shift+Tab and Tab) move the choice, wrapping around, Return chooses,
  /// Escape closes. Keys with Ctrl, Alt or Super type nothing.
  Outcome typed(const TypedKey& key);

  const std::string& text() const { return text_; }
  /// The item Return chose, or the one chosen now; nothing when nothing matches.
  const PaletteItem* chosen() const;
  /// The rows that fit the panel, scrolled so that the chosen item shows with, where it
  /// fits, its heading.
  std::vector<Row> shownRows() const;
  /// The chosen item's place among `shownRows()`.
  std::optional<std::size_t> chosenRow() const;
  /// Whether the text typed matches no item.
  bool nothingMatches() const { return rows_.empty(); }

  /// The sentence for a query that matches nothing.
  static std::string nothingMatchesSentence(std::string_view query);

 private:
  /// Ranks the items for the text, chooses the first and scrolls to the top.
  void search();
  /// Moves the choice by `step` items, wrapping around, and scrolls to it.
  void move(int step);

  PaletteIndex index_;
  PaletteRecents recents_;
  std::string text_;
  std::vector<Row> rows_;              // every row for the text
  std::vector<PaletteItem> items_;     // the items among the rows, in order
  std::vector<std::size_t> itemRows_;  // each item's row
  std::size_t chosen_ = 0;             // among `items_`
  std::size_t top_ = 0;                // the first row shown
};

}  // namespace kestles
