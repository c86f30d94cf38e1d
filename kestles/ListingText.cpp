#include "kestles/ListingText.hpp"

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "KestlesCore/keys/KeyLabel.hpp"
#include "KestlesCore/layout/Template.hpp"
#include "KestlesCore/settings/Settings.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles::tool {
namespace {

struct Row {
  std::optional<std::string> keyLabel;
  std::string text;
};

/// The digit key of a number 1 to 9 with the modifiers, as Linux writes it ("Super+1");
/// nothing for other numbers.
std::optional<std::string> digitKeyLabel(KeyModifiers modifiers, std::optional<int> number) {
  if (!number || *number < 1 || *number > 9) return std::nullopt;
  return KeyLabel::written(
      KeyCombo{kDigitKeyCodes[static_cast<std::size_t>(*number - 1)], modifiers});
}

/// The name with its control characters escaped, so that a name cannot break the
/// one-name-per-line listing or send commands to the terminal; backslashes stay as typed.
std::string printable(std::string_view name) {
  return text::escapedControls(name, text::Backslash::kept);
}

std::string section(const std::string& title, const std::vector<Row>& rows,
                    const std::string& emptyText) {
  std::string out = title + "\n";
  if (rows.empty()) return out.append("  ").append(emptyText).append("\n");
  std::size_t widest = 0;
  bool anyLabel = false;
  for (const auto& row : rows) {
    if (!row.keyLabel) continue;
    anyLabel = true;
    widest = std::max(widest, text::characterCount(*row.keyLabel));
  }
  for (const auto& row : rows) {
    out += "  ";
    if (anyLabel) {
      auto label = row.keyLabel.value_or("");
      out.append(label).append(widest + 2 - text::characterCount(label), ' ');
    }
    out.append(row.text).append("\n");
  }
  return out;
}

std::vector<Row> kestleRows(const Library& library) {
  std::vector<Row> rows;
  for (const auto& kestle : library.kestles) {
    auto name = printable(kestle.name);
    if (library.currentKestleID == kestle.id) name += " (current)";
    rows.push_back({digitKeyLabel(library.settings.kestleModifiers, kestle.number), name});
  }
  return rows;
}

std::vector<Row> layoutRows(const Library& library) {
  std::vector<Row> rows;
  for (const auto& layout : library.layouts)
    rows.push_back(
        {digitKeyLabel(library.settings.layoutModifiers, layout.number), printable(layout.name)});
  return rows;
}

std::vector<Row> templateRows() {
  std::vector<Row> rows;
  for (const auto& layoutTemplate : Template::all())
    rows.push_back({std::nullopt, layoutTemplate.name});
  return rows;
}

std::string bareNames(const std::vector<Row>& rows) {
  std::string out;
  for (const auto& row : rows)
    out.append(row.text).append("\n");
  return out;
}

}  // namespace

std::string listingText(Listing listing, const Library& library) {
  switch (listing) {
    case Listing::kestles: {
      std::string out;
      for (const auto& kestle : library.kestles)
        out.append(printable(kestle.name)).append("\n");
      return out;
    }
    case Listing::layouts:
      return bareNames(layoutRows(library)) + bareNames(templateRows());
    case Listing::all:
      break;
  }
  return section("Kestles", kestleRows(library),
                 "No kestles yet: arrange your windows, then run kestles save NAME.") +
         "\n" + section("Layouts", layoutRows(library), "No layouts yet.") + "\n" +
         section("Templates", templateRows(), "");
}

}  // namespace kestles::tool
