#include "KestlesCore/coding/Date.hpp"

#include <gtest/gtest.h>

namespace kestles {
namespace {

TEST(Date, ReadsISO8601) {
  struct Row {
    const char* text;
    const char* utc;  // null: not a date
  };
  for (auto row : std::initializer_list<Row>{
           {"2026-12-04T11:41:00Z", "2026-12-04T11:41:00Z"},
           {"2026-12-04T11:41:00.750Z", "2026-12-04T11:41:00Z"},
           {"2026-12-04T11:41:00+01:00", "2026-12-04T10:41:00Z"},
           {"2026-12-31T23:30:00-0100", "2027-01-01T00:30:00Z"},
           {"2024-02-29T00:00:00Z", "2024-02-29T00:00:00Z"},
           {"2026-02-29T00:00:00Z", nullptr},
           {"0000-01-01T00:30:00+01:00", nullptr},  // before year 0 in UTC
           {"9999-12-31T23:30:00-01:00", nullptr},  // after year 9999 in UTC
           {"2026-12-04T24:00:00Z", nullptr},
           {"2026-12-04 11:41:00Z", nullptr},
           {"2026-12-04T11:41:00", nullptr},
           {"2026-12-04T11:41:00Zjunk", nullptr},
           {"2026-12-04", nullptr},
           {"", nullptr},
       }) {
    auto date = Date::fromISO(row.text);
    if (row.utc) {
      ASSERT_TRUE(date) << row.text;
      EXPECT_EQ(date->iso(), row.utc);
    } else {
      EXPECT_EQ(date, std::nullopt) << row.text;
    }
  }
}

}  // namespace
}  // namespace kestles
