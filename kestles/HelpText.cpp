#include "kestles/HelpText.hpp"

#include "KestlesCore/layout/GapsChange.hpp"

namespace kestles::tool {

const std::string& helpText() {
  static const std::string text = std::string(R"(Arrange windows with Kestles from the command line.

Usage: kestles <command>

  kestle <name or number>    Apply a kestle.
  next, previous             Apply the next or previous kestle.
  layout <name> [--display <display>]
                             Apply a layout to the display you’re working on,
                             or to the display named.
  tile [--display <display>] [--app <app> | --front-app] [--style <style>]
                             Tile the windows on the display you’re working on,
                             or on the display named; only one app’s, or the
                             front app’s, if you say. Styles: grid, main-stack,
                             spiral, columns; without one, the one on the
                             Tiling page.
  tile --all-displays [--style <style>]
                             Tile the windows on every display.
  pick-windows               Letter every window; type the ones to tile, in
                             order, then Return to choose how and tile them.
  snap <place>               Snap the front window: left-half, top-left, maximize, …
  focus <left | right | up | down>
                             Focus the window beside the front one.
  swap <left | right | up | down>
                             Trade places with the window beside the front one.
  make-main                  Put the front window in the biggest tile.
  swap-displays [back]       Trade everything on the front window’s display
                             with the next display, or the one before.
  float                      Take the front window out of its tile, or put
                             a floating one in a tile.
  even-out                   Put the dividers of the front window’s display
                             back to equal shares.
  rotate [back]              Move every window there on to the next tile,
                             or back to the one before.
  flip <horizontal | vertical>
                             Mirror the tiles there, left to right or top
                             to bottom.
  turn-split                 Stack the tiles around the front window if
                             they’re side by side, or the other way.
  hints                      Letter every window; type one to go to it.
  move-to-tile               Key every tile; type one to send the front
                             window there, or Shift and it to split the tile.
  edit-tiles                 Change the tiles of the front window’s display
                             from the keyboard: split, close, resize, fill.
  arrange-with-keys          Let plain keys rearrange the tiles, one after
                             another, until Esc: arrows go, Shift and an arrow
                             swaps, S turns, R rotates, H and V flip.
  gaps <wider | narrower | pixels>
                             Make the gaps around and between tiles a step
                             wider or narrower, or )") +
                                  std::to_string(kMinimumGap) + " to " +
                                  std::to_string(kMaximumGap) + R"( pixels; the
                             tiled windows follow.
  keep-tiled [on | off] [--display <display>]
                             Keep the display you’re working on, or the one
                             named, tiled as windows come and go; with
                             neither, the other way from how it is.
  leave-out [on | off] [--app <app>]
                             Leave the front app, or the one named, out of
                             tiles, or tile it again; with neither, the
                             other way from how it is.
  undo                       Put back what the last arrangement moved.
  redo                       Do again what undo put back.
  save <name> [--update]     Save the windows of every display as a new kestle
                             named so (a taken name gets a number), or with
                             --update, as the kestle of that name.
  panel                      Show the panel.
  keys                       List every key, what it does and whether Kestles
                             holds it.
  status                     Say whether Kestles runs, on which display, what
                             it keeps tiled, which keys it holds and where its
                             log is.
  quit                       Stop Kestles.
  list [kestles | layouts]   List your kestles and layouts.
  export [file]              Write your kestles, layouts, rules and settings to a
                             .kestles file, or print them.
  import <file> [--settings]
                             Bring in the kestles, layouts and rules of a
                             .kestles file; with --settings, its settings
                             too, in place of yours.
  --quiet <command>          Print no sentence when nothing or only part was
                             done; the exit status still says which.
  help, --version

Names match in any case, or by their start when only one name starts that way.
)";
  return text;
}

}  // namespace kestles::tool
