#include "KestlesCore/coding/JSONNumber.hpp"

#include <gtest/gtest.h>

namespace kestles {
namespace {

TEST(JSONNumberTests, WholeValuesAreWrittenAsIntegers) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {300, "300"},
      {-2, "-2"},
      {0.62, "0.62"},
      {-0.0, "0"},
      {1e300, "1e+300"},
      {1234.5, "1234.5"},
      {9007199254740994, "9.007199254740994e+15"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(jsonNumber(c.value).dump(), c.text) << c.value;
}

TEST(JSONNumberTests, ReadsNumbersOnly) {
  EXPECT_EQ(readNumber(nlohmann::json(3)), 3);
  EXPECT_EQ(readNumber(nlohmann::json(2.5)), 2.5);
  for (const auto& bad : {nlohmann::json(true), nlohmann::json("3"), nlohmann::json()})
    EXPECT_ANY_THROW(readNumber(bad)) << bad.dump();
}

}  // namespace
}  // namespace kestles
