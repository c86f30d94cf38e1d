#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct xkb_context;
struct xkb_keymap;
struct xkb_state;

namespace kestles::x11 {

/// The keyboard map of one connection's core keyboard, read through XKB: which X key code
/// types a keysym, what a key shows on the layout in use, where Num Lock sits. Not
/// thread-safe; its owner reads it again when the server says the map changed.
class X11KeyMapping {
 public:
  /// Sets XKB up on the connection and reads the map; nothing when the server has no XKB.
  static std::unique_ptr<X11KeyMapping> read(xcb_connection_t* connection);
  ~X11KeyMapping();
  X11KeyMapping(const X11KeyMapping&) = delete;
  X11KeyMapping& operator=(const X11KeyMapping&) = delete;

  /// What an event changed about the keyboard.
  enum class Change { none, keymap, layout };
  /// Follows the event: reads the map again when it changed (core or XKB notice), or moves
  /// to the layout now in use. Says what changed.
  Change follow(const xcb_generic_event_t& event);
  /// Reads the map and the state again; false when the server did not answer.
  bool refresh();
  /// Asks the server for the XKB events that say the map or the layout changed, and for
  /// key repeats without releases in between.
  void selectEvents();
  /// The first event code of XKB's events.
  std::uint8_t eventBase() const { return eventBase_; }

  /// The X key code that types the keysym: the layouts that type the Latin letters come
  /// first, in the map's order, then the others; the first layout that has it wins, and
  /// within a layout the lowest shift level. Nothing when no key types it.
  std::optional<xcb_keycode_t> keycodeFor(std::uint32_t keysym) const;
  /// What the key types on the first layout with no modifiers held (0: nothing).
  std::uint32_t baseKeysym(xcb_keycode_t keycode) const;
  /// What the key shows with no modifiers held, as UTF-8, on the layout in use when it types
  /// the Latin letters, else on the first layout that does (names are Latin, as on a
  /// Russian layout beside a US one); a dead key
  /// shows its accent. Empty when it shows no character.
  std::string text(xcb_keycode_t keycode) const;
  /// The X modifier Num Lock sets (0 when no key is Num Lock).
  std::uint16_t numLockMask() const { return numLockMask_; }

 private:
  X11KeyMapping(xcb_connection_t* connection, xkb_context* context, std::int32_t device,
                std::uint8_t eventBase);
  bool followGroup(std::uint32_t group);
  void indexKeysyms();
  bool typesLatinLetters(std::uint32_t layout) const;
  /// The map's layouts, those that type the Latin letters first.
  std::vector<std::uint32_t> layoutsLatinFirst() const;
  void readNumLock();

  xcb_connection_t* connection_;
  xkb_context* context_;
  std::int32_t device_;
  std::uint8_t eventBase_;
  xkb_keymap* keymap_ = nullptr;
  xkb_state* state_ = nullptr;
  std::map<std::uint32_t, xcb_keycode_t> keycodes_;
  std::vector<std::uint32_t> layoutOrder_;  // the layouts, Latin ones first
  std::uint16_t numLockMask_ = 0;
};

}  // namespace kestles::x11
