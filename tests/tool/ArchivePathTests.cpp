#include "kestles/ArchivePath.hpp"

#include <gtest/gtest.h>

namespace kestles::tool {
namespace {

TEST(ArchivePath, ResolvesTypedPaths) {
  struct Row {
    const char* typed;
    const char* expected;
  };
  const Row rows[] = {
      {"Work", "/home/me/projects/Work.kestles"},
      {"Work.json", "/home/me/projects/Work.json"},
      {"~/Desktop/Work", "/home/me/Desktop/Work.kestles"},
      {"~", "/home/me.kestles"},
      {"../Work.kestles", "/home/me/Work.kestles"},
      {"./a/./b/../Work", "/home/me/projects/a/Work.kestles"},
      {"/tmp/Work/", "/tmp/Work.kestles"},
      {"/tmp/.hidden", "/tmp/.hidden.kestles"},
      {"My Work", "/home/me/projects/My Work.kestles"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(archivePath(row.typed, "/home/me/projects", "/home/me"), row.expected) << row.typed;
}

TEST(ArchivePath, FileURLsEscapeEachComponent) {
  EXPECT_EQ(fileURL("/home/me/My Work.kestles"), "file:///home/me/My%20Work.kestles");
  EXPECT_EQ(fileURL("/tmp/Café#1.kestles"), "file:///tmp/Caf%C3%A9%231.kestles");
}

}  // namespace
}  // namespace kestles::tool
