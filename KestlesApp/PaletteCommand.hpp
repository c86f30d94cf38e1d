#pragma once

#include <functional>
#include <istream>
#include <ostream>
#include <span>
#include <string_view>

namespace kestles::app {

/// Where the palette reads and writes. `endList` is called once a dmenu list is written whole,
/// so that the menu reading it sees the end before the palette waits for the chosen line.
struct PaletteStreams {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  std::function<void()> endList = [] {};
};

/// `kestles-app palette [QUERY]`: prints the palette's items, grouped under their headings,
/// ranked for the query. `kestles-app palette --dmenu`: prints every item a line, reads the
/// chosen line back and carries that item out. Returns the exit status.
int runPaletteCommand(std::span<const std::string_view> arguments, const PaletteStreams& streams);

}  // namespace kestles::app
