#include "KestlesEngine/x11/X11Displays.hpp"

#include <gtest/gtest.h>

#include <cstring>

namespace kestles::x11 {
namespace {

/// A 128-byte EDID base block with the header, identity bytes and optional descriptors.
std::vector<std::uint8_t> edid(std::uint8_t serial, const char* productName,
                               const char* serialText = nullptr) {
  std::vector<std::uint8_t> block(128, 0);
  const std::uint8_t header[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
  std::memcpy(block.data(), header, 8);
  block[8] = 0x10;  // maker
  block[9] = 0xAC;
  block[10] = 0x42;  // product code
  block[12] = serial;
  block[54] = 0x01;  // a detailed timing in the first slot is not a descriptor
  auto descriptor = [&](std::size_t offset, std::uint8_t tag, const char* text) {
    block[offset + 3] = tag;
    std::size_t i = 0;
    for (; text[i] != '\0' && i < 13; ++i)
      block[offset + 5 + i] = static_cast<std::uint8_t>(text[i]);
    if (i < 13) block[offset + 5 + i++] = '\n';
    for (; i < 13; ++i)
      block[offset + 5 + i] = ' ';
  };
  if (productName) descriptor(72, 0xFC, productName);
  if (serialText) descriptor(90, 0xFF, serialText);
  return block;
}

TEST(X11DisplaysTests, ReadsEdid) {
  auto dell = readEdid(edid(1, "DELL U2720Q"));
  ASSERT_TRUE(dell);
  EXPECT_EQ(dell->productName, "DELL U2720Q");
  EXPECT_EQ(dell->id.size(), 36u);
  EXPECT_EQ(dell->id[14], '5');
  EXPECT_EQ(dell->id, readEdid(edid(1, "DELL U2720Q"))->id);  // stable
  EXPECT_NE(dell->id, readEdid(edid(2, "DELL U2720Q"))->id);  // another serial number
  EXPECT_NE(dell->id, readEdid(edid(1, "DELL U2720Q", "ABC123"))->id);
  EXPECT_EQ(readEdid(edid(1, nullptr))->productName, "");
  EXPECT_EQ(readEdid(edid(1, "THIRTEEN CHAR"))->productName, "THIRTEEN CHAR");

  auto shortBlock = edid(1, "X");
  shortBlock.resize(127);
  EXPECT_FALSE(readEdid(shortBlock));
  auto badHeader = edid(1, "X");
  badHeader[0] = 1;
  EXPECT_FALSE(readEdid(badHeader));
}

TEST(X11DisplaysTests, BuiltInNames) {
  for (const char* name : {"eDP-1", "eDP1", "LVDS-1", "lvds", "DSI-1"})
    EXPECT_TRUE(isBuiltInName(name)) << name;
  for (const char* name : {"HDMI-1", "DP-1", "screen", "MON-A", ""})
    EXPECT_FALSE(isBuiltInName(name)) << name;
}

TEST(X11DisplaysTests, VisibleAreaSubtractsStrutsThatReachTheMonitor) {
  // Three monitors side by side on a 5760 x 1440 root: 1920x1080, 1280x1024, 2560x1440.
  const Box a{0, 0, 1920, 1080}, b{1920, 0, 1280, 1024}, c{3200, 0, 2560, 1440};
  using Strut = std::array<std::uint32_t, 12>;
  const Strut topOfA{0, 0, 30, 0, 0, 0, 0, 0, 0, 1919, 0, 0};
  const Strut bottomOfC{0, 0, 0, 40, 0, 0, 0, 0, 0, 0, 3200, 5759};
  const Strut leftWhole{25, 0, 0, 0, 0, 1439, 0, 0, 0, 0, 0, 0};
  const Strut rightWhole{0, 50, 0, 0, 0, 0, 0, 1439, 0, 0, 0, 0};
  struct Case {
    Box monitor;
    std::vector<Strut> struts;
    Box visible;
  };
  const Case cases[] = {
      {a, {topOfA}, {0, 30, 1920, 1050}},
      {b, {topOfA}, b},  // the band ends at x 1919
      {c, {bottomOfC}, {3200, 0, 2560, 1400}},
      {b, {bottomOfC}, b},  // the band is below b's bottom edge
      {a, {leftWhole, topOfA}, {25, 30, 1895, 1050}},
      {b, {leftWhole, rightWhole}, b},
      {c, {rightWhole}, {3200, 0, 2510, 1440}},
      {a, {}, a},
  };
  for (const auto& k : cases)
    EXPECT_EQ(visibleArea(k.monitor, k.struts, 5760, 1440), k.visible)
        << k.monitor.x << " " << k.struts.size();
}

}  // namespace
}  // namespace kestles::x11
