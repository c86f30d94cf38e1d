#include "KestlesCore/model/UUID.hpp"

#include <gtest/gtest.h>

#include <set>

#include <nlohmann/json.hpp>

namespace kestles {
namespace {

TEST(UUIDTests, RandomIdsAreVersion4UpperCaseAndDistinct) {
  std::set<std::string> seen;
  for (int i = 0; i < 200; ++i) {
    auto text = UUID::random().uuidString();
    ASSERT_EQ(text.size(), 36u);
    EXPECT_EQ(text[14], '4') << text;
    EXPECT_NE(std::string("89AB").find(text[19]), std::string::npos) << text;
    for (char c : text)
      EXPECT_FALSE(c >= 'a' && c <= 'z') << text;
    seen.insert(text);
  }
  EXPECT_EQ(seen.size(), 200u);
}

TEST(UUIDTests, ReadsEitherCaseAndRejectsOtherForms) {
  auto upper = UUID::fromString("7E3D0000-0000-4000-8000-0000010000AB");
  auto lower = UUID::fromString("7e3d0000-0000-4000-8000-0000010000ab");
  ASSERT_TRUE(upper);
  EXPECT_EQ(upper, lower);
  EXPECT_EQ(upper->uuidString(), "7E3D0000-0000-4000-8000-0000010000AB");
  EXPECT_EQ(upper->bytes[0], 0x7E);
  EXPECT_EQ(upper->bytes[15], 0xAB);
  for (auto bad : {"", "7E3D0000000040008000000001000001", "7E3D0000-0000-4000-8000-00000100000G",
                   "7E3D0000-0000-4000-8000-0000010000011", "7E3D000-00000-4000-8000-000001000001",
                   "{7E3D0000-0000-4000-8000-000001000001}"})
    EXPECT_FALSE(UUID::fromString(bad)) << bad;
}

TEST(UUIDTests, JSONIsTheString) {
  auto id = UUID::random();
  nlohmann::json json = id;
  EXPECT_EQ(json, id.uuidString());
  EXPECT_EQ(json.get<UUID>(), id);
  EXPECT_ANY_THROW(nlohmann::json("not a uuid").get<UUID>());
  EXPECT_ANY_THROW(nlohmann::json(12).get<UUID>());
}

}  // namespace
}  // namespace kestles
