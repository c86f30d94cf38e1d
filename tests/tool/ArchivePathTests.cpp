#include "kestles/ArchivePath.hpp"

#include <gtest/gtest.h>

namespace kestles::tool {
namespace {

TEST(ArchivePath, FileURLsEscapeEachComponent) {
  EXPECT_EQ(fileURL("/home/me/My Work.kestles"), "file:///home/me/My%20Work.kestles");
  EXPECT_EQ(fileURL("/tmp/Café#1.kestles"), "file:///tmp/Caf%C3%A9%231.kestles");
}

}  // namespace
}  // namespace kestles::tool
