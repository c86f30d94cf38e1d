#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "KestlesCore/geometry/CGRect.hpp"

namespace kestles {

/// A panel with a text field above a list of rows (the palette), in place of centred lines.
/// Its `centre` is the middle of its top edge, so that the field stays put while the list
/// grows and shrinks under it. A row's text after a tab is drawn at the row's right end.
struct ModeList {
  std::string field;                    // the text typed so far
  std::string placeholder;              // shown dimmed while the field is empty
  double width = 0;                     // the panel's width; longer rows are cut at its edge
  std::optional<std::size_t> selected;  // the chosen row, an index into the label's lines
  std::vector<std::size_t> dimmed;      // rows drawn as headings and notes
  bool operator==(const ModeList&) const = default;
};

/// One panel a keyboard mode shows: lines of text on a plate centred on a point of the
/// desktop.
struct ModeLabel {
  CGPoint centre;
  std::vector<std::string> lines;
  bool highlighted = false;  // the selected tile, a picked window
  std::optional<ModeList> list = std::nullopt;
  bool operator==(const ModeLabel&) const = default;
};

}  // namespace kestles
