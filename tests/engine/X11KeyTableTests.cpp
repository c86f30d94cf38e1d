#include "KestlesEngine/x11/X11KeyTable.hpp"

#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <cctype>
#include <set>

#include "KestlesCore/keys/KeyCode.hpp"

namespace kestles::x11 {
namespace {

TEST(X11KeyTableTests, EachKeyCodeAndKeysymAppearsOnce) {
  std::set<std::uint16_t> codes;
  std::set<std::uint32_t> keysyms;
  for (const auto& row : keyTable()) {
    EXPECT_TRUE(codes.insert(row.keyCode).second) << row.keyCode;
    EXPECT_TRUE(keysyms.insert(row.keysym).second) << row.keyCode;
  }
}

// The table and the core's key labels describe the same US keyboard.
TEST(X11KeyTableTests, AgreesWithTheCoresKeyLabels) {
  for (int code = 0; code < 128; ++code) {
    auto label = KeyCode{code}.label();
    auto keysym = keysymForKeyCode(static_cast<std::uint32_t>(code));
    if (label.size() == 1) {
      ASSERT_TRUE(keysym) << label;
      EXPECT_EQ(*keysym, static_cast<std::uint32_t>(std::tolower(label[0]))) << label;
    } else if (label.size() <= 3 && label[0] == 'F') {
      ASSERT_TRUE(keysym) << label;
      EXPECT_EQ(*keysym, XKB_KEY_F1 + std::stoul(label.substr(1)) - 1) << label;
    }
  }
  EXPECT_EQ(keysymForKeyCode(49), XKB_KEY_space);
  EXPECT_EQ(keysymForKeyCode(0xFFFF), std::nullopt);
}

TEST(X11KeyTableTests, ModifierKeysAndMasks) {
  struct Case {
    std::uint32_t keysym;
    std::uint16_t keyCode;
    std::uint64_t flag;
  };
  const Case cases[] = {{XKB_KEY_Control_L, 59, 0x40000}, {XKB_KEY_Control_R, 62, 0x40000},
                        {XKB_KEY_Shift_L, 56, 0x20000},   {XKB_KEY_Shift_R, 60, 0x20000},
                        {XKB_KEY_Alt_L, 58, 0x80000},     {XKB_KEY_Alt_R, 61, 0x80000},
                        {XKB_KEY_Super_L, 55, 0x100000},  {XKB_KEY_Super_R, 54, 0x100000},
                        {XKB_KEY_Caps_Lock, 57, 0},       {XKB_KEY_a, 0, 0}};
  for (const auto& c : cases) {
    auto row = rowForKeysym(c.keysym);
    ASSERT_TRUE(row) << c.keyCode;
    EXPECT_EQ(row->keyCode, c.keyCode);
    EXPECT_EQ(row->modifierFlag, c.flag) << c.keyCode;
  }
  EXPECT_EQ(xModifierMask({KeyModifiers::command}), XCB_MOD_MASK_4);
  EXPECT_EQ(xModifierMask({KeyModifiers::option | KeyModifiers::control}),
            XCB_MOD_MASK_1 | XCB_MOD_MASK_CONTROL);
  EXPECT_EQ(shortcutModifierMask(),
            XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4);
}

}  // namespace
}  // namespace kestles::x11
