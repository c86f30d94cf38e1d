#include "KestlesEngine/x11/X11KeyTable.hpp"

#include <xkbcommon/xkbcommon-keysyms.h>

#include <algorithm>
#include <array>

#include "KestlesEngine/platform/ModifierMasks.hpp"

namespace kestles::x11 {
namespace {

constexpr std::uint64_t kShift = 0x20000;
constexpr std::uint64_t kControl = platform::kControlEventFlag;
constexpr std::uint64_t kOption = 0x80000;
constexpr std::uint64_t kCommand = 0x100000;

constexpr auto kRows = std::to_array<KeyTableRow>({
    {0, XKB_KEY_a},
    {1, XKB_KEY_s},
    {2, XKB_KEY_d},
    {3, XKB_KEY_f},
    {4, XKB_KEY_h},
    {5, XKB_KEY_g},
    {6, XKB_KEY_z},
    {7, XKB_KEY_x},
    {8, XKB_KEY_c},
    {9, XKB_KEY_v},
    {10, XKB_KEY_section},
    {11, XKB_KEY_b},
    {12, XKB_KEY_q},
    {13, XKB_KEY_w},
    {14, XKB_KEY_e},
    {15, XKB_KEY_r},
    {16, XKB_KEY_y},
    {17, XKB_KEY_t},
    {18, XKB_KEY_1},
    {19, XKB_KEY_2},
    {20, XKB_KEY_3},
    {21, XKB_KEY_4},
    {22, XKB_KEY_6},
    {23, XKB_KEY_5},
    {24, XKB_KEY_equal},
    {25, XKB_KEY_9},
    {26, XKB_KEY_7},
    {27, XKB_KEY_minus},
    {28, XKB_KEY_8},
    {29, XKB_KEY_0},
    {30, XKB_KEY_bracketright},
    {31, XKB_KEY_o},
    {32, XKB_KEY_u},
    {33, XKB_KEY_bracketleft},
    {34, XKB_KEY_i},
    {35, XKB_KEY_p},
    {36, XKB_KEY_Return},
    {37, XKB_KEY_l},
    {38, XKB_KEY_j},
    {39, XKB_KEY_apostrophe},
    {40, XKB_KEY_k},
    {41, XKB_KEY_semicolon},
    {42, XKB_KEY_backslash},
    {43, XKB_KEY_comma},
    {44, XKB_KEY_slash},
    {45, XKB_KEY_n},
    {46, XKB_KEY_m},
    {47, XKB_KEY_period},
    {48, XKB_KEY_Tab},
    {49, XKB_KEY_space},
    {50, XKB_KEY_grave},
    {51, XKB_KEY_BackSpace},
    {53, XKB_KEY_Escape},
    {54, XKB_KEY_Super_R, kCommand},
    {55, XKB_KEY_Super_L, kCommand},
    {56, XKB_KEY_Shift_L, kShift},
    {57, XKB_KEY_Caps_Lock},
    {58, XKB_KEY_Alt_L, kOption},
    {59, XKB_KEY_Control_L, kControl},
    {60, XKB_KEY_Shift_R, kShift},
    {61, XKB_KEY_Alt_R, kOption},
    {62, XKB_KEY_Control_R, kControl},
    {64, XKB_KEY_F17},
    {65, XKB_KEY_KP_Decimal},
    {67, XKB_KEY_KP_Multiply},
    {69, XKB_KEY_KP_Add},
    {71, XKB_KEY_Num_Lock},  // the keypad's Clear key sits where Num Lock does
    {72, XKB_KEY_XF86AudioRaiseVolume},
    {73, XKB_KEY_XF86AudioLowerVolume},
    {74, XKB_KEY_XF86AudioMute},
    {75, XKB_KEY_KP_Divide},
    {76, XKB_KEY_KP_Enter},
    {78, XKB_KEY_KP_Subtract},
    {79, XKB_KEY_F18},
    {80, XKB_KEY_F19},
    {81, XKB_KEY_KP_Equal},
    {82, XKB_KEY_KP_0},
    {83, XKB_KEY_KP_1},
    {84, XKB_KEY_KP_2},
    {85, XKB_KEY_KP_3},
    {86, XKB_KEY_KP_4},
    {87, XKB_KEY_KP_5},
    {88, XKB_KEY_KP_6},
    {89, XKB_KEY_KP_7},
    {90, XKB_KEY_F20},
    {91, XKB_KEY_KP_8},
    {92, XKB_KEY_KP_9},
    {96, XKB_KEY_F5},
    {97, XKB_KEY_F6},
    {98, XKB_KEY_F7},
    {99, XKB_KEY_F3},
    {100, XKB_KEY_F8},
    {101, XKB_KEY_F9},
    {103, XKB_KEY_F11},
    {105, XKB_KEY_F13},
    {106, XKB_KEY_F16},
    {107, XKB_KEY_F14},
    {109, XKB_KEY_F10},
    {111, XKB_KEY_F12},
    {113, XKB_KEY_F15},
    {114, XKB_KEY_Insert},  // Help sits where Insert does
    {115, XKB_KEY_Home},
    {116, XKB_KEY_Prior},
    {117, XKB_KEY_Delete},
    {118, XKB_KEY_F4},
    {119, XKB_KEY_End},
    {120, XKB_KEY_F2},
    {121, XKB_KEY_Next},
    {122, XKB_KEY_F1},
    {123, XKB_KEY_Left},
    {124, XKB_KEY_Right},
    {125, XKB_KEY_Down},
    {126, XKB_KEY_Up},
});

// The X modifier of each of the core's modifier bits.
struct XModifier {
  int keyModifier;
  std::uint16_t mask;
};
constexpr std::array<XModifier, 4> kXModifiers{{
    {KeyModifiers::control, XCB_MOD_MASK_CONTROL},
    {KeyModifiers::option, XCB_MOD_MASK_1},
    {KeyModifiers::shift, XCB_MOD_MASK_SHIFT},
    {KeyModifiers::command, XCB_MOD_MASK_4},
}};

}  // namespace

std::span<const KeyTableRow> keyTable() {
  return kRows;
}

std::optional<std::uint32_t> keysymForKeyCode(std::uint32_t keyCode) {
  auto row = std::find_if(kRows.begin(), kRows.end(),
                          [&](const KeyTableRow& r) { return r.keyCode == keyCode; });
  if (row == kRows.end()) return std::nullopt;
  return row->keysym;
}

std::optional<KeyTableRow> rowForKeysym(std::uint32_t keysym) {
  auto row = std::find_if(kRows.begin(), kRows.end(),
                          [&](const KeyTableRow& r) { return r.keysym == keysym; });
  if (row == kRows.end()) return std::nullopt;
  return *row;
}

std::uint16_t xModifierMask(KeyModifiers modifiers) {
  std::uint16_t mask = 0;
  for (const auto& modifier : kXModifiers)
    if (modifiers.contains(modifier.keyModifier)) mask |= modifier.mask;
  return mask;
}

std::uint16_t shortcutModifierMask() {
  return xModifierMask(KeyModifiers{KeyModifiers::control | KeyModifiers::option |
                                    KeyModifiers::shift | KeyModifiers::command});
}

}  // namespace kestles::x11
