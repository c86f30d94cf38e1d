#include "KestlesEngine/PlatformKeyboard.hpp"

#include <gtest/gtest.h>

namespace kestles {
namespace {

// The names sway's `bindsym` reads: a wrong one is refused, and the key is never bound.
TEST(PlatformKeyboard, NamesKeysAsTheCompositorReadsThem) {
  struct Row {
    std::uint32_t keyCode;
    std::optional<std::string> name;
  };
  const Row rows[] = {
      {0, "a"},    {6, "z"},      {18, "1"},     {36, "Return"}, {123, "Left"},
      {126, "Up"}, {27, "minus"}, {49, "space"}, {53, "Escape"}, {0xFFFF, std::nullopt},
  };
  for (const auto& row : rows)
    EXPECT_EQ(compositorKeyName(row.keyCode), row.name) << row.keyCode;
}

}  // namespace
}  // namespace kestles
