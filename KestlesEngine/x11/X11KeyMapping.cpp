#include "KestlesEngine/x11/X11KeyMapping.hpp"

// The XKB protocol header names a field `explicit`, a C++ keyword: it is renamed while the
// header is read.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wkeyword-macro"
#endif
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#if defined(__clang__)
#pragma clang diagnostic pop
#endif
#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <array>
#include <cstdlib>

namespace kestles::x11 {
namespace {

// Dead keys show the accent they put on the next letter, as the spacing character.
constexpr std::array<std::pair<std::uint32_t, const char*>, 10> kDeadKeys{{
    {XKB_KEY_dead_grave, "`"},
    {XKB_KEY_dead_acute, "´"},
    {XKB_KEY_dead_circumflex, "^"},
    {XKB_KEY_dead_tilde, "~"},
    {XKB_KEY_dead_macron, "¯"},
    {XKB_KEY_dead_breve, "˘"},
    {XKB_KEY_dead_abovedot, "˙"},
    {XKB_KEY_dead_diaeresis, "¨"},
    {XKB_KEY_dead_abovering, "˚"},
    {XKB_KEY_dead_cedilla, "¸"},
}};

std::string keysymText(xkb_keysym_t keysym) {
  for (const auto& [dead, accent] : kDeadKeys)
    if (dead == keysym) return accent;
  char buffer[16] = {};
  auto length = xkb_keysym_to_utf8(keysym, buffer, sizeof buffer);
  // The length counts the terminating zero; 0 means no character, -1 a short buffer.
  return length > 1 ? std::string(buffer, static_cast<std::size_t>(length - 1)) : std::string();
}

template <class Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

}  // namespace

std::unique_ptr<X11KeyMapping> X11KeyMapping::read(xcb_connection_t* connection) {
  std::uint8_t eventBase = 0;
  if (!xkb_x11_setup_xkb_extension(
          connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
          XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, &eventBase, nullptr))
    return nullptr;
  auto device = xkb_x11_get_core_keyboard_device_id(connection);
  if (device < 0) return nullptr;
  auto* context = xkb_context_new(XKB_CONTEXT_NO_DEFAULT_INCLUDES);
  if (!context) return nullptr;
  std::unique_ptr<X11KeyMapping> mapping(new X11KeyMapping(connection, context, device, eventBase));
  if (!mapping->refresh()) return nullptr;
  return mapping;
}

X11KeyMapping::X11KeyMapping(xcb_connection_t* connection, xkb_context* context,
                             std::int32_t device, std::uint8_t eventBase)
    : connection_(connection), context_(context), device_(device), eventBase_(eventBase) {}

X11KeyMapping::~X11KeyMapping() {
  xkb_state_unref(state_);
  xkb_keymap_unref(keymap_);
  xkb_context_unref(context_);
}

bool X11KeyMapping::refresh() {
  auto* keymap =
      xkb_x11_keymap_new_from_device(context_, connection_, device_, XKB_KEYMAP_COMPILE_NO_FLAGS);
  if (!keymap) return false;
  auto* state = xkb_x11_state_new_from_device(keymap, connection_, device_);
  if (!state) {
    xkb_keymap_unref(keymap);
    return false;
  }
  xkb_state_unref(state_);
  xkb_keymap_unref(keymap_);
  keymap_ = keymap;
  state_ = state;
  indexKeysyms();
  readNumLock();
  return true;
}

X11KeyMapping::Change X11KeyMapping::follow(const xcb_generic_event_t& event) {
  auto type = event.response_type & 0x7F;
  if (type == XCB_MAPPING_NOTIFY) {
    const auto& notice = reinterpret_cast<const xcb_mapping_notify_event_t&>(event);
    if (notice.request == XCB_MAPPING_POINTER) return Change::none;
    return refresh() ? Change::keymap : Change::none;
  }
  if (type != eventBase_) return Change::none;
  // Every XKB event shares the first bytes: the event code, then XKB's own kind.
  const auto& any = reinterpret_cast<const xcb_xkb_new_keyboard_notify_event_t&>(event);
  switch (any.xkbType) {
    case XCB_XKB_NEW_KEYBOARD_NOTIFY:
    case XCB_XKB_MAP_NOTIFY:
      return refresh() ? Change::keymap : Change::none;
    case XCB_XKB_STATE_NOTIFY:
      return followGroup(reinterpret_cast<const xcb_xkb_state_notify_event_t&>(event).group)
                 ? Change::layout
                 : Change::none;
    default:
      return Change::none;
  }
}

bool X11KeyMapping::followGroup(std::uint32_t group) {
  auto before = xkb_state_serialize_layout(state_, XKB_STATE_LAYOUT_EFFECTIVE);
  xkb_state_update_mask(state_, 0, 0, 0, 0, 0, group);
  return xkb_state_serialize_layout(state_, XKB_STATE_LAYOUT_EFFECTIVE) != before;
}

void X11KeyMapping::selectEvents() {
  constexpr std::uint16_t kEvents = XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY |
                                    XCB_XKB_EVENT_TYPE_MAP_NOTIFY | XCB_XKB_EVENT_TYPE_STATE_NOTIFY;
  constexpr std::uint16_t kMapParts =
      XCB_XKB_MAP_PART_KEY_TYPES | XCB_XKB_MAP_PART_KEY_SYMS | XCB_XKB_MAP_PART_MODIFIER_MAP |
      XCB_XKB_MAP_PART_EXPLICIT_COMPONENTS | XCB_XKB_MAP_PART_KEY_ACTIONS |
      XCB_XKB_MAP_PART_VIRTUAL_MODS | XCB_XKB_MAP_PART_VIRTUAL_MOD_MAP;
  constexpr std::uint16_t kStateParts = XCB_XKB_STATE_PART_GROUP_BASE |
                                        XCB_XKB_STATE_PART_GROUP_LATCH |
                                        XCB_XKB_STATE_PART_GROUP_LOCK;
  xcb_xkb_select_events_details_t details{};
  details.affectNewKeyboard = XCB_XKB_NKN_DETAIL_KEYCODES;
  details.newKeyboardDetails = XCB_XKB_NKN_DETAIL_KEYCODES;
  details.affectState = kStateParts;
  details.stateDetails = kStateParts;
  xcb_xkb_select_events_aux(connection_, static_cast<xcb_xkb_device_spec_t>(device_), kEvents, 0, 0,
                            kMapParts, kMapParts, &details);
  // A held key then repeats presses alone, so a press of a held key is known as a repeat.
  xcb_xkb_per_client_flags(connection_, static_cast<xcb_xkb_device_spec_t>(device_),
                           XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT,
                           XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT, 0, 0, 0);
  xcb_flush(connection_);
}

void X11KeyMapping::indexKeysyms() {
  keycodes_.clear();
  auto first = xkb_keymap_min_keycode(keymap_);
  auto last = xkb_keymap_max_keycode(keymap_);
  layoutOrder_ = layoutsLatinFirst();
  // Earlier layouts and lower levels win: insert in that order and keep the first. A Latin
  // layout comes first so that punctuation lands on its US-like key, not on a shifted digit
  // of a Cyrillic layout listed before it.
  for (auto layout : layoutOrder_)
    for (xkb_level_index_t level = 0; level < 4; ++level)
      for (auto key = first; key <= last && key <= 255; ++key) {
        if (level >= xkb_keymap_num_levels_for_key(keymap_, key, layout)) continue;
        const xkb_keysym_t* syms = nullptr;
        auto count = xkb_keymap_key_get_syms_by_level(keymap_, key, layout, level, &syms);
        for (int i = 0; i < count; ++i)
          keycodes_.emplace(syms[i], static_cast<xcb_keycode_t>(key));
      }
}

void X11KeyMapping::readNumLock() {
  numLockMask_ = 0;
  auto numLock = keycodeFor(XKB_KEY_Num_Lock);
  if (!numLock) return;
  ReplyPtr<xcb_get_modifier_mapping_reply_t> reply(
      xcb_get_modifier_mapping_reply(connection_, xcb_get_modifier_mapping(connection_), nullptr),
      &std::free);
  if (!reply) return;
  const auto* codes = xcb_get_modifier_mapping_keycodes(reply.get());
  int perModifier = reply->keycodes_per_modifier;
  for (int modifier = 0; modifier < 8; ++modifier)
    for (int i = 0; i < perModifier; ++i)
      if (codes[modifier * perModifier + i] == *numLock)
        numLockMask_ = static_cast<std::uint16_t>(1u << modifier);
}

std::optional<xcb_keycode_t> X11KeyMapping::keycodeFor(std::uint32_t keysym) const {
  auto found = keycodes_.find(keysym);
  if (found == keycodes_.end()) return std::nullopt;
  return found->second;
}

std::uint32_t X11KeyMapping::baseKeysym(xcb_keycode_t keycode) const {
  const xkb_keysym_t* syms = nullptr;
  auto count = xkb_keymap_key_get_syms_by_level(keymap_, keycode, 0, 0, &syms);
  return count > 0 ? syms[0] : 0;
}

bool X11KeyMapping::typesLatinLetters(std::uint32_t layout) const {
  std::uint32_t letters = 0;  // one bit per letter a to z typed without Shift
  for (auto key = xkb_keymap_min_keycode(keymap_); key <= xkb_keymap_max_keycode(keymap_); ++key) {
    const xkb_keysym_t* syms = nullptr;
    auto count = xkb_keymap_key_get_syms_by_level(keymap_, key, layout, 0, &syms);
    for (int i = 0; i < count; ++i)
      if (syms[i] >= XKB_KEY_a && syms[i] <= XKB_KEY_z) letters |= 1u << (syms[i] - XKB_KEY_a);
  }
  return letters == (1u << 26) - 1;
}

std::vector<std::uint32_t> X11KeyMapping::layoutsLatinFirst() const {
  std::vector<std::uint32_t> latin, others;
  for (xkb_layout_index_t layout = 0; layout < xkb_keymap_num_layouts(keymap_); ++layout)
    (typesLatinLetters(layout) ? latin : others).push_back(layout);
  latin.insert(latin.end(), others.begin(), others.end());
  return latin;
}

std::string X11KeyMapping::text(xcb_keycode_t keycode) const {
  auto layout = xkb_state_serialize_layout(state_, XKB_STATE_LAYOUT_EFFECTIVE);
  // The layout in use when it is Latin (it is then ahead of every non-Latin one), else the
  // first Latin one.
  if (!layoutOrder_.empty() && !typesLatinLetters(layout)) layout = layoutOrder_.front();
  // A key with fewer layouts than the map wraps around, as XKB does when typing.
  auto layouts = xkb_keymap_num_layouts_for_key(keymap_, keycode);
  if (layouts == 0) return {};
  layout %= layouts;
  const xkb_keysym_t* syms = nullptr;
  auto count = xkb_keymap_key_get_syms_by_level(keymap_, keycode, layout, 0, &syms);
  return count > 0 ? keysymText(syms[0]) : std::string();
}

}  // namespace kestles::x11
