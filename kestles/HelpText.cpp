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
                             order, then ↩ to choose how and tile them.
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
                             window there, or ⇧ and it to split the tile.
  edit-tiles                 Change the tiles of the front window’s display
                             from the keyboard: split, close, resize, fill.
  arrange-with-keys          Let plain keys rearrange the tiles, one after
                             another, until ⎋: arrows go, ⇧ and an arrow
                             swaps, S turns, R rotates, H and V flip.
  gaps <wider | narrower | points>
                             Make the gaps around and between tiles a step
                             wider or narrower, or )") +
                                  std::to_string(kMinimumGap) + " to " +
                                  std::to_string(kMaximumGap) + R"( points; the
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
  panel                      Show the panel.
  keys                       List every key, what it does and whether Kestles
                             holds it.
  status                     Say whether Kestles runs, on which display, what
                             it keeps tiled, which keys it holds and where its
                             log is.
  quit                       Stop Kestles.
  open [page]                Open the Kestles window, at kestles, layouts, rules,
                             tiling, keys or general.
  tour [lesson]              Open the tour, at its chapters or at a lesson:
                             panel, tiling, snapping, kestles,
                             arrange-with-keys, window-hints, pick-windows,
                             move-to-tile, edit-tiles, keep-tiled or assistant.
  show-me <lesson>           Open the tour at a lesson and play it on the
                             practice desktop. Any key hands it back to you.
  welcome [page]             Open the welcome as on the first launch, at its start
                             or at permission, a lesson, settings, first-kestle
                             or chapters.
  tip <tip>                  Show a tip as it shows the first time: drag-window,
                             tile-windows, snap-keys, applied-kestle or keep-tiled.
  list [kestles | layouts]   List your kestles and layouts.
  export [file]              Write your kestles, layouts, rules and settings to a
                             .kestles file, or print them.
  import <file>              Open a .kestles file in Kestles, to choose what of it
                             to bring in.
  --quiet <command>          Print no sentence when nothing or only part was
                             done; the exit status still says which.
  help, --version

Names match in any case, or by their start when only one name starts that way.
)";
  return text;
}

}  // namespace kestles::tool
